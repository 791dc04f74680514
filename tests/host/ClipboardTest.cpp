#include <gtest/gtest.h>

#include "TestSupport.h"
#include "TestWindows.h"
#include "host/Clipboard.h"

namespace {

class Clipboard : public testing::Test {
protected:
    win::UniqueHwnd owner_ = testing_support::CreatePlainWindow();
};

TEST_F(Clipboard, ReplacesEveryEarlierFormatAndIsClosedAfterwards)
{
    const UINT otherFormat = RegisterClipboardFormatA("DenoptixTestFormat");
    ASSERT_TRUE(OpenClipboard(owner_.get()));
    EmptyClipboard();
    HGLOBAL earlier = GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_NE(SetClipboardData(otherFormat, earlier), nullptr);
    CloseClipboard();

    host::PutTextOnClipboard(owner_.get(), "IMG_1.bmp\r\n");

    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
    EXPECT_FALSE(IsClipboardFormatAvailable(otherFormat));
    EXPECT_EQ(testing_support::ClipboardText(owner_.get()), "IMG_1.bmp\r\n");
}

TEST_F(Clipboard, ABriefHoldByAnotherProgramIsWaitedOut)
{
    testing_support::ChildProcess holder("\"" + testing_support::BinDir() + "\\wintool.exe\" hold-clipboard 150");
    ASSERT_TRUE(testing_support::WaitUntilClipboardHeldBy(holder.Id()));
    host::PutTextOnClipboard(owner_.get(), "after the hold\r\n");
    EXPECT_EQ(testing_support::ClipboardText(owner_.get()), "after the hold\r\n");
}

}  // namespace
