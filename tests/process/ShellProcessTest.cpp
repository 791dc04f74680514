// The bridge as a separate process: start-up, its error box, and the ways
// it ends.
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

using namespace testing_support;

std::string BridgeCommandLine(const std::string& tail)
{
    return "\"" + BinDir() + "\\Denoptix.exe\" " + tail;
}

HWND WaitForVisibleForm(const ChildProcess& bridge)
{
    HWND form = nullptr;
    WaitUntil([&] {
        for (HWND window : WindowsOfProcess(bridge.Id(), "TForm1"))
            if (IsWindowVisible(window)) form = window;
        return form != nullptr;
    }, 30s);
    return form;
}

class BridgeProcess : public ::testing::Test {
protected:
    void SetUp() override { DeleteBridgeSettings(); }
    void TearDown() override { DeleteBridgeSettings(); }
};

TEST_F(BridgeProcess, NormalCloseEndsWithExitCodeZero)
{
    TempFolder folder;
    ChildProcess bridge(BridgeCommandLine(folder.Path() + "\\Patient 0042"));
    HWND form = WaitForVisibleForm(bridge);
    ASSERT_NE(form, nullptr) << "the main window never showed";
    EXPECT_EQ(WindowText(form), "Denoptix");
    EXPECT_TRUE(GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_TOPMOST);

    PostMessageA(form, WM_CLOSE, 0, 0);
    DWORD exitCode = 12345;
    ASSERT_TRUE(bridge.WaitForExit(30s, exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(BridgeProcess, CloseRequestToTheApplicationWindowClosesTheMainWindow)
{
    ChildProcess bridge(BridgeCommandLine(""));
    ASSERT_NE(WaitForVisibleForm(bridge), nullptr);
    const auto applicationWindows = WindowsOfProcess(bridge.Id(), "TApplication");
    ASSERT_EQ(applicationWindows.size(), 1u);
    EXPECT_EQ(WindowText(applicationWindows[0]), "Denoptix");
    EXPECT_FALSE(IsWindowVisible(applicationWindows[0]));

    PostMessageA(applicationWindows[0], WM_CLOSE, 0, 0);
    DWORD exitCode = 12345;
    ASSERT_TRUE(bridge.WaitForExit(30s, exitCode));
    EXPECT_EQ(exitCode, 0u);
}

// A missing scanner control: exactly one real error box with the system's
// message, no main window, and an exit code that says start-up failed.
TEST_F(BridgeProcess, MissingControlShowsOneStopBoxAndExitsWithOne)
{
    MissingControlRegistration missing;
    ChildProcess bridge(BridgeCommandLine("C:\\Images"));

    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        const auto boxes = WindowsOfProcess(bridge.Id(), "#32770");
        if (!boxes.empty()) box = boxes[0];
        return box != nullptr && IsWindowVisible(box);
    }, 30s)) << "no error box appeared";
    EXPECT_EQ(WindowText(box), "Denoptix");
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_GT(std::string(text).size(), 1u);
    EXPECT_EQ(std::string(text).back(), '.');
    EXPECT_EQ(GetForegroundWindow(), box) << "the box must come up in front";
    EXPECT_TRUE(WindowsOfProcess(bridge.Id(), "TForm1").empty());

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    DWORD exitCode = 12345;
    ASSERT_TRUE(bridge.WaitForExit(30s, exitCode));
    EXPECT_EQ(exitCode, 1u);
    HKEY settings = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Velt\\Denoptix", 0, KEY_READ, &settings), ERROR_SUCCESS)
        << "a failed start-up must write no settings";
    if (settings != nullptr) RegCloseKey(settings);
}

}  // namespace
