#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestSupport.h"
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

// Patient paths must stay out of the clipboard history and the cloud
// clipboard: the markers follow the text, which stays the first format.
TEST_F(Clipboard, TextComesFirstThenTheMarkersThatKeepItOutOfHistoryAndCloud)
{
    const std::string names = "C:\\Pazienti\\0042\\IMG_1.bmp\r\n";
    host::PutTextOnClipboard(owner_.get(), names);

    ASSERT_TRUE(OpenClipboard(owner_.get()));
    std::vector<UINT> formats;
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format))
        formats.push_back(format);
    std::vector<std::string> markers;
    for (const UINT format : formats) {
        char name[128] = {};
        if (GetClipboardFormatNameA(format, name, sizeof name) == 0) continue;  // a standard format
        markers.push_back(name);
        HGLOBAL data = GetClipboardData(format);
        ASSERT_NE(data, nullptr) << name;
        ASSERT_EQ(GlobalSize(data), sizeof(DWORD)) << name;
        DWORD value = 1;
        std::memcpy(&value, GlobalLock(data), sizeof value);
        GlobalUnlock(data);
        EXPECT_EQ(value, 0u) << name;
    }
    CloseClipboard();

    ASSERT_FALSE(formats.empty());
    EXPECT_EQ(formats[0], static_cast<UINT>(CF_TEXT));
    EXPECT_EQ(markers, (std::vector<std::string>{"ExcludeClipboardContentFromMonitorProcessing",
                                                 "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"}));
    EXPECT_EQ(testing_support::ClipboardText(owner_.get()), names);
}

TEST_F(Clipboard, ABriefHoldByAnotherProgramIsWaitedOut)
{
    testing_support::ChildProcess holder(testing_support::BinCommandLine("wintool.exe", {"hold-clipboard", "150"}));
    ASSERT_TRUE(testing_support::WaitUntilClipboardHeldBy(holder.Id()));
    host::PutTextOnClipboard(owner_.get(), "after the hold\r\n");
    EXPECT_EQ(testing_support::ClipboardText(owner_.get()), "after the hold\r\n");
}

}  // namespace
