// DenoptixReceivers run as real processes, driven the way the bridge drives
// the real receivers: clipboard first, then the registered messages.
#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "receivers/ClipboardText.h"

namespace {

using testing_support::BinCommandLine;
using testing_support::ChildProcess;
using testing_support::ReadLines;
using testing_support::WaitForLine;

constexpr char kHost[] = "TTesmiraWnd";
constexpr char kPhoto[] = "VELT_FOTO_SERVER";

// A log line of a WM_ACQ_DENOPTIX with wParam and lParam 0.
std::string AcqLine(const std::string& windowClass, const std::string& clipboard)
{
    return windowClass + "\tWM_ACQ_DENOPTIX\twParam=0\tlParam=0\tclipboard=" + clipboard;
}

class ReceiversTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(FindWindowA(kHost, nullptr)) << "a stand-in from an earlier run is still there";
        ASSERT_FALSE(FindWindowA(kPhoto, nullptr)) << "a stand-in from an earlier run is still there";
    }

    // Starts the stand-ins with their log in `log` and waits until they are ready.
    std::unique_ptr<ChildProcess> Start(const std::string& log, std::vector<std::string> args,
                                        const std::string& printed = {})
    {
        args.insert(args.end(), {"--log", log, "--timeout-ms", "60000"});
        auto child = std::make_unique<ChildProcess>(BinCommandLine("DenoptixReceivers.exe", args),
                                                    testing_support::ChildOptions::OutputTo(printed.empty() ? Path("out") : printed));
        EXPECT_TRUE(WaitForLine(log, "ready")) << "the stand-ins did not get ready";
        return child;
    }
    std::string Path(const std::string& name) const { return temp_.Path(name); }

    // Sends like the bridge; fails the test when the window is missing or silent.
    LRESULT Send(const char* className, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        const HWND window = FindWindowA(className, nullptr);
        EXPECT_TRUE(window) << className;
        DWORD_PTR result = 0;
        EXPECT_TRUE(SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result))
            << className;
        return static_cast<LRESULT>(result);
    }

    void SetClipboard(const std::string& text) { receivers::WriteClipboardText(owner_.get(), text); }

    const UINT deleteResource_ = testing_support::ReceiverWindowThread::DeleteResourceMessage();
    const UINT acqDenoptix_ = testing_support::ReceiverWindowThread::AcqMessage();
    const win::UniqueHwnd owner_ = testing_support::CreatePlainWindow();  // SetClipboardData needs one
    const testing_support::TempFolder temp_;  // logs, and what the stand-ins print
};

TEST_F(ReceiversTest, LogsEachMessageWithItsParametersAndTheExactClipboardBytes)
{
    const std::string log = Path("log.log");
    const std::string printed = Path("printed.log");
    const auto receivers = Start(log, {"--result", "7"}, printed);
    EXPECT_TRUE(FindWindowA(kHost, "Stand-in host"));
    EXPECT_TRUE(FindWindowA(kPhoto, "Stand-in photo server"));

    SetClipboard("C:\\img\\\xE8t\xE9 1.bmp\r\nB.bmp\r\n");
    EXPECT_EQ(Send(kHost, acqDenoptix_), 7);
    EXPECT_EQ(Send(kPhoto, acqDenoptix_), 7);
    EXPECT_EQ(Send(kPhoto, deleteResource_, 3, 0), 7);
    Send(kHost, acqDenoptix_, 4294967295u, -5);

    const std::string clip = "clipboard=C:\\\\img\\\\\\xE8t\\xE9 1.bmp\\r\\nB.bmp\\r\\n";
    const std::vector<std::string> expected = {
        "ready",
        "TTesmiraWnd\tWM_ACQ_DENOPTIX\twParam=0\tlParam=0\t" + clip,
        "VELT_FOTO_SERVER\tWM_ACQ_DENOPTIX\twParam=0\tlParam=0\t" + clip,
        "VELT_FOTO_SERVER\tWM_DELETE_RESOURCE\twParam=3\tlParam=0\t" + clip,
        "TTesmiraWnd\tWM_ACQ_DENOPTIX\twParam=4294967295\tlParam=-5\t" + clip,
    };
    EXPECT_EQ(ReadLines(log), expected);
    EXPECT_EQ(ReadLines(printed), expected);  // flushed before each reply
}

TEST_F(ReceiversTest, TellsAnEmptyTextFromNoTextAndFromAClipboardHeldOpen)
{
    const std::string log = Path("log.log");
    const auto receivers = Start(log, {"--windows", "host"});
    EXPECT_FALSE(FindWindowA(kPhoto, nullptr));

    SetClipboard("");
    Send(kHost, acqDenoptix_);
    {
        const auto lock = receivers::ClipboardLock::TryOpen(owner_.get());
        ASSERT_TRUE(lock);
        ASSERT_TRUE(EmptyClipboard());
    }
    Send(kHost, acqDenoptix_);
    {
        const auto held = receivers::ClipboardLock::TryOpen(owner_.get());
        ASSERT_TRUE(held);
        Send(kHost, acqDenoptix_);
    }
    EXPECT_EQ(ReadLines(log), (std::vector<std::string>{"ready", AcqLine(kHost, ""), AcqLine(kHost, "<none>"),
                                                         AcqLine(kHost, "<unavailable>")}));
}

TEST_F(ReceiversTest, ClipboardReplacedByTheHostIsWhatThePhotoServerFinds)
{
    const std::string hostLog = Path("hostLog.log");
    const std::string photoLog = Path("photoLog.log");
    const auto host = Start(hostLog, {"--windows", "host", "--set-clipboard", "host=changed\\r\\n\\xC4"});
    const auto photo = Start(photoLog, {"--windows", "photo"});

    SetClipboard("original\r\n");
    Send(kHost, acqDenoptix_);
    Send(kPhoto, acqDenoptix_);

    EXPECT_EQ(ReadLines(hostLog).back(), AcqLine(kHost, "original\\r\\n"));
    EXPECT_EQ(ReadLines(photoLog).back(), AcqLine(kPhoto, "changed\\r\\n\\xC4"));
    EXPECT_EQ(receivers::ReadClipboardText(owner_.get()).bytes, "changed\r\n\xC4");
}

TEST_F(ReceiversTest, HungPhotoServerAloneLogsTheMessageButLetsAnAbortingSendGiveUp)
{
    const std::string log = Path("log.log");
    const auto receivers =
        Start(log, {"--windows", "photo", "--title", "Demo photo", "--hang", "photo=2000", "--result", "5"});
    EXPECT_FALSE(FindWindowA(kHost, nullptr));
    const HWND photo = FindWindowA(kPhoto, "Demo photo");
    ASSERT_TRUE(photo);

    SetClipboard("hung.bmp");
    DWORD_PTR result = 0;
    EXPECT_FALSE(SendMessageTimeoutA(photo, acqDenoptix_, 0, 0, SMTO_ABORTIFHUNG, 300, &result));
    EXPECT_TRUE(WaitForLine(log, AcqLine(kPhoto, "hung.bmp")));
    // Once the sleep is over, the window answers again.
    EXPECT_TRUE(SendMessageTimeoutA(photo, deleteResource_, 3, 0, 0, 15000, &result));
    EXPECT_EQ(result, 5u);
}

TEST_F(ReceiversTest, EndsWithCodeZeroAfterTheLastMessageOrOnClose)
{
    const std::string log = Path("log.log");
    auto counted = Start(log, {"--windows", "host", "--exit-after", "2"});
    Send(kHost, acqDenoptix_);
    Send(kHost, deleteResource_, 3);
    EXPECT_EQ(counted->WaitForExit(), 0u);
    EXPECT_EQ(ReadLines(log).size(), 3u);

    const std::string closeLog = Path("closeLog.log");
    auto closed = Start(closeLog, {});
    PostMessageA(FindWindowA(kPhoto, nullptr), WM_CLOSE, 0, 0);
    EXPECT_EQ(closed->WaitForExit(), 0u);
}

// Which options are bad is ReceiverOptions.RejectsBadOptions' to say; here,
// that a rejection ends the process with code 2 before any window exists.
TEST_F(ReceiversTest, BadOptionsExitWithCodeTwoBeforeAnyWindowExists)
{
    const ChildProcess child(BinCommandLine("DenoptixReceivers.exe", {"--windows", "host", "--hang", "host=abc"}),
                             testing_support::ChildOptions::Quiet());
    EXPECT_EQ(child.WaitForExit(), 2u);
    EXPECT_FALSE(FindWindowA(kHost, nullptr));
}

}  // namespace
