#include <gtest/gtest.h>

#include "TestSupport.h"
#include "host/Messages.h"
#include "host/Notifier.h"
#include "win/Error.h"

namespace {

using testing_support::Received;
using namespace std::chrono_literals;

constexpr char kHost[] = "TTesmiraWnd";
constexpr char kPhoto[] = "VELT_FOTO_SERVER";

class HostNotification : public testing::Test {
protected:
    void SetUp() override { host::RegisterMessages(); }

    win::UniqueHwnd owner_ = testing_support::CreatePlainWindow();
    testing_support::TempFolder folder_;
    testing_support::ReceiverLog receivers_{folder_.Path() + "\\received.log"};
};

void ExpectAcq(const Received& received, const char* windowClass, const std::string& clipboard)
{
    EXPECT_EQ(received.windowClass, windowClass);
    EXPECT_EQ(received.message, "WM_ACQ_DENOPTIX");
    EXPECT_EQ(received.wParam, 0);
    EXPECT_EQ(received.lParam, 0);
    EXPECT_EQ(received.clipboard, clipboard) << "at " << windowClass;
}

TEST(RegisteredMessages, RegisteredOnceUnderTheirNames)
{
    host::RegisterMessages();
    const UINT deleteResource = host::WmDeleteResource();
    const UINT acq = host::WmAcqDenoptix();
    host::RegisterMessages();
    EXPECT_EQ(host::WmDeleteResource(), deleteResource);
    EXPECT_EQ(host::WmAcqDenoptix(), acq);
    // Another program registering the same names gets the same ids.
    EXPECT_EQ(deleteResource, RegisterWindowMessageA("WM_DELETE_RESOURCE"));
    EXPECT_EQ(acq, RegisterWindowMessageA("WM_ACQ_DENOPTIX"));
    EXPECT_NE(deleteResource, acq);
}

// Host first, then the photo server, each with the exact bytes.
TEST_F(HostNotification, ClipboardBytesArriveExactly)
{
    receivers_.Start("host,photo");
    std::string manyNames;
    for (int i = 0; i < 100000; ++i) manyNames += "Z:\\scans\\IMG_" + std::to_string(i) + ".bmp\r\n";
    // Longer texts first: nothing of an earlier one may show past a zero byte.
    const std::string payloads[] = {
        manyNames,
        "tab\there\\back\r\n",
        "\xC0\xE8\xF9\x80\x9F\xFF.bmp\r\n",  // code-page bytes above 0x7F
        "\r\n",                               // a name that converted to nothing
        "",                                   // a set without images: just the zero byte
    };
    size_t expectedCount = 0;
    for (const std::string& payload : payloads) {
        host::HandOverImageSet(owner_.get(), payload);
        const auto messages = receivers_.Messages();
        ASSERT_EQ(messages.size(), expectedCount + 2);
        ExpectAcq(messages[expectedCount], kHost, payload);
        ExpectAcq(messages[expectedCount + 1], kPhoto, payload);
        expectedCount += 2;
    }
}

TEST_F(HostNotification, AbsentReceiversAreSkipped)
{
    // Neither running: the clipboard is still replaced.
    host::HandOverImageSet(owner_.get(), "alone.bmp\r\n");
    EXPECT_EQ(testing_support::ClipboardText(owner_.get()), "alone.bmp\r\n");

    receivers_.Start("photo");
    host::HandOverImageSet(owner_.get(), "a.bmp\r\n");
    auto messages = receivers_.Messages();
    ASSERT_EQ(messages.size(), 1u);
    ExpectAcq(messages[0], kPhoto, "a.bmp\r\n");

    testing_support::ReceiverLog hostOnly(folder_.Path() + "\\host.log");
    hostOnly.Start("host");
    host::HandOverImageSet(owner_.get(), "b.bmp\r\n");
    messages = hostOnly.Messages();
    ASSERT_EQ(messages.size(), 1u);
    ExpectAcq(messages[0], kHost, "b.bmp\r\n");
}

TEST_F(HostNotification, HungHostIsGivenUpOnAndThePhotoServerStillHearsOfTheSet)
{
    receivers_.Start("host", "--hang TTesmiraWnd=15000");
    receivers_.Start("photo");

    // Busy but not yet hung: the send waits for its bound, then moves on.
    host::HandOverImageSet(owner_.get(), "first.bmp\r\n", 500);
    auto messages = receivers_.Messages();
    ASSERT_FALSE(messages.empty());
    ExpectAcq(messages.back(), kPhoto, "first.bmp\r\n");

    // Once the system counts the host as hung, the real bound is not waited
    // for at all.
    HWND hostWindow = FindWindowA(kHost, nullptr);
    ASSERT_TRUE(testing_support::WaitUntil([&] { return IsHungAppWindow(hostWindow) != FALSE; }, 12s));
    const ULONGLONG start = GetTickCount64();
    host::HandOverImageSet(owner_.get(), "second.bmp\r\n");
    EXPECT_LT(GetTickCount64() - start, host::kSendTimeoutMs / 2);
    messages = receivers_.Messages();
    ASSERT_FALSE(messages.empty());
    ExpectAcq(messages.back(), kPhoto, "second.bmp\r\n");
}

TEST_F(HostNotification, ClipboardHeldElsewhereSendsNothingAndTheNextSetWorks)
{
    receivers_.Start("host,photo");
    {
        testing_support::ChildProcess holder(testing_support::BinCommandLine("wintool.exe", {"hold-clipboard", "3000"}));
        ASSERT_TRUE(testing_support::WaitUntilClipboardHeldBy(holder.Id()));
        try {
            host::HandOverImageSet(owner_.get(), "lost.bmp\r\n");
            ADD_FAILURE() << "the hand-over went on without the clipboard";
        } catch (const win::Error& error) {
            EXPECT_STREQ(error.what(), "Cannot open clipboard");
        }
        EXPECT_TRUE(receivers_.Messages().empty());
        ASSERT_TRUE(holder.WaitForExit(20s));
    }
    host::HandOverImageSet(owner_.get(), "next.bmp\r\n");
    const auto messages = receivers_.Messages();
    ASSERT_EQ(messages.size(), 2u);
    ExpectAcq(messages[0], kHost, "next.bmp\r\n");
    ExpectAcq(messages[1], kPhoto, "next.bmp\r\n");
}

TEST_F(HostNotification, ClosingTellsOnlyThePhotoServer)
{
    receivers_.Start("host");
    receivers_.Start("photo");

    host::NotifyClosing();

    const auto messages = receivers_.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].windowClass, kPhoto);
    EXPECT_EQ(messages[0].message, "WM_DELETE_RESOURCE");
    EXPECT_EQ(messages[0].wParam, 3);
    EXPECT_EQ(messages[0].lParam, 0);
}

TEST_F(HostNotification, OnlyTheWindowTheLookupReturnsIsNotified)
{
    // Two host windows: the send completes before HandOverImageSet returns,
    // so what the handlers noted is complete by then.
    std::vector<HWND> notified;
    const auto note = [&](HWND window, UINT message, WPARAM, LPARAM) {
        if (message == host::WmAcqDenoptix()) notified.push_back(window);
    };
    const testing_support::ReceiverWindowThread first(kHost, note);
    const testing_support::ReceiverWindowThread second(kHost, note);
    HWND found = FindWindowA(kHost, nullptr);
    ASSERT_TRUE(found == first.Window() || found == second.Window());

    host::HandOverImageSet(owner_.get(), "one.bmp\r\n");

    EXPECT_EQ(notified, std::vector<HWND>{found});
}

}  // namespace
