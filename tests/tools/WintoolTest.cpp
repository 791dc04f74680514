// wintool run as a real process against a window of this test, which a
// thread of its own keeps answering while the test waits for the tool.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "TestSupport.h"
#include "receivers/ClipboardText.h"

namespace {

constexpr char kTargetClass[] = "WintoolTestTarget";
constexpr char kSinkClass[] = "WintoolTestSink";
constexpr int kPressId = 101;
constexpr int kOffId = 102;

// A top-level window with an enabled and a disabled button and a child that
// records WM_COPYDATA, run by its own thread.
class TargetWindow {
public:
    TargetWindow() : thread_([this] { Run(); }) { window_ = ready_.get_future().get(); }
    ~TargetWindow()
    {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }

    HWND window() const { return window_; }

    std::atomic<int> clicks{0};
    std::atomic<ULONG_PTR> copyDataKind{0};
    std::string copyDataBytes;  // written on the window's thread before its send returns

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<TargetWindow*>(GetWindowLongPtrA(GetAncestor(window, GA_ROOT), GWLP_USERDATA));
        if (message == WM_COMMAND && LOWORD(wParam) == kPressId && HIWORD(wParam) == BN_CLICKED) ++self->clicks;
        if (message == WM_COPYDATA) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            self->copyDataBytes.assign(static_cast<const char*>(data->lpData), data->cbData);
            self->copyDataKind = data->dwData;
            return 42;
        }
        if (message == WM_DESTROY && !GetParent(window)) PostQuitMessage(0);
        return DefWindowProcA(window, message, wParam, lParam);
    }

    void Run()
    {
        for (const char* name : {kTargetClass, kSinkClass}) {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = Procedure;
            windowClass.lpszClassName = name;
            RegisterClassA(&windowClass);
        }
        const HWND top = CreateWindowExA(0, kTargetClass, "Target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 300, 200,
                                         nullptr, nullptr, nullptr, nullptr);
        SetWindowLongPtrA(top, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        const auto child = [top](const char* cls, const char* text, int id, DWORD style) {
            CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, 10 + 30 * (id - 100), 100, 25, top,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        };
        child("BUTTON", "Press me", kPressId, BS_PUSHBUTTON);
        child("BUTTON", "Off", kOffId, BS_PUSHBUTTON | WS_DISABLED);
        child(kSinkClass, "", 103, 0);
        ready_.set_value(top);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    }

    std::promise<HWND> ready_;
    HWND window_ = nullptr;
    std::thread thread_;
};

testing_support::ToolRun Wintool(const std::vector<std::string>& args)
{
    return testing_support::RunToEnd("wintool.exe", args);
}

TEST(Wintool, FindsClicksAndQueriesTheControlsOfAnotherProgramsWindow)
{
    TargetWindow target;
    char handle[32];
    std::snprintf(handle, sizeof handle, "0x%llX\n",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(target.window())));

    EXPECT_EQ(Wintool({"wait-window", kTargetClass, "Target", "--timeout-ms", "5000"}).output, handle);
    EXPECT_EQ(Wintool({"wait-window", kTargetClass, "Other title", "--timeout-ms", "200"}).exitCode, 1u);

    EXPECT_EQ(Wintool({"click", kTargetClass, "Press me"}).exitCode, 0u);
    EXPECT_EQ(target.clicks.load(), 1);
    EXPECT_EQ(Wintool({"click", kTargetClass, "101", "--post"}).exitCode, 0u);
    EXPECT_TRUE(testing_support::WaitUntil([&] { return target.clicks == 2; }));
    EXPECT_EQ(Wintool({"click", kTargetClass, "Off"}).exitCode, 1u);
    EXPECT_EQ(Wintool({"click", kTargetClass, "No such button"}).exitCode, 1u);

    EXPECT_EQ(Wintool({"is-enabled", kTargetClass, "Off"}).output, "0\n");
    EXPECT_EQ(Wintool({"is-enabled", kTargetClass, "101"}).output, "1\n");

    const auto sent = Wintool({"copydata", kTargetClass, "53584E44", "names a|b", "--child", kSinkClass});
    EXPECT_EQ(sent.output, "42\n");
    EXPECT_EQ(target.copyDataKind.load(), 0x53584E44u);
    EXPECT_EQ(target.copyDataBytes, "names a|b");

    RECT r{};
    GetWindowRect(target.window(), &r);
    char rect[64];
    std::snprintf(rect, sizeof rect, "%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    EXPECT_EQ(Wintool({"rect", kTargetClass}).output, rect);
}

TEST(Wintool, MissingWindowsFailWithOneAndBadUsageWithTwo)
{
    EXPECT_EQ(Wintool({"wait-window", "WintoolNoSuchClass", "--timeout-ms", "200"}).exitCode, 1u);
    EXPECT_EQ(Wintool({"wait-gone", "WintoolNoSuchClass", "--timeout-ms", "200"}).output, "gone\n");
    EXPECT_EQ(Wintool({"close", "WintoolNoSuchClass"}).exitCode, 1u);
    EXPECT_EQ(Wintool({"click", kTargetClass}).exitCode, 2u);
    EXPECT_EQ(Wintool({"rect", kTargetClass, "--frobnicate"}).exitCode, 2u);
    EXPECT_EQ(Wintool({"no-such-command"}).exitCode, 2u);
}

TEST(Wintool, HoldClipboardKeepsOthersOutUntilItEnds)
{
    const win::UniqueHwnd owner = testing_support::CreatePlainWindow();
    receivers::WriteClipboardText(owner.get(), "a\tb\xE8");
    EXPECT_EQ(Wintool({"clipboard"}).output, "a\\tb\\xE8\n");

    const testing_support::TempFolder temp;
    const std::string output = temp.Path("out");
    const testing_support::ChildProcess holder(testing_support::BinCommandLine("wintool.exe", {"hold-clipboard", "5000"}),
                                               testing_support::ChildOptions::OutputTo(output));
    ASSERT_TRUE(testing_support::WaitForLine(output, "holding"));
    EXPECT_FALSE(receivers::ClipboardLock::TryOpen(owner.get(), 0));
    EXPECT_EQ(Wintool({"clipboard"}).output, "<unavailable>\n");
    EXPECT_EQ(holder.WaitForExit(), 0u);
    EXPECT_TRUE(receivers::ClipboardLock::TryOpen(owner.get(), 2000));
}

}  // namespace
