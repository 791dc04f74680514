// The bridge as a separate process: start-up, its error box, and the ways
// it ends.
#include "TestSupport.h"

namespace {

using namespace testing_support;

using BridgeProcess = FreshSettingsTest;

TEST_F(BridgeProcess, NormalCloseEndsWithExitCodeZero)
{
    TempFolder folder;
    BridgeRun bridge(BridgeCommandLine(folder.Path("Patient 0042")));
    HWND form = bridge.WaitForForm();
    ASSERT_NE(form, nullptr) << "the main window never showed";
    EXPECT_EQ(WindowText(form), "Denoptix");
    EXPECT_TRUE(GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_TOPMOST);

    EXPECT_EQ(bridge.CloseAndWait(), std::optional<DWORD>(0));
}

TEST_F(BridgeProcess, CloseRequestToTheApplicationWindowClosesTheMainWindow)
{
    BridgeRun bridge(BridgeCommandLine(""));
    ASSERT_NE(bridge.WaitForForm(), nullptr);
    const auto applicationWindows = WindowsOfProcess(bridge.Id(), "TApplication");
    ASSERT_EQ(applicationWindows.size(), 1u);
    EXPECT_EQ(WindowText(applicationWindows[0]), "Denoptix");
    EXPECT_FALSE(IsWindowVisible(applicationWindows[0]));

    PostMessageA(applicationWindows[0], WM_CLOSE, 0, 0);
    EXPECT_EQ(bridge.WaitForExit(), std::optional<DWORD>(0));
}

// A missing scanner control: exactly one real error box with the system's
// message, no main window, and an exit code that says start-up failed.
TEST_F(BridgeProcess, MissingControlShowsOneStopBoxAndExitsWithOne)
{
    MissingControlRegistration missing;
    BridgeRun bridge(BridgeCommandLine("C:\\Images"));

    HWND box = bridge.WaitForBox(30s);
    ASSERT_NE(box, nullptr) << "no error box appeared";
    EXPECT_EQ(WindowText(box), "Denoptix");
    const std::string text = BridgeRun::BoxText(box);
    EXPECT_GT(text.size(), 1u);
    EXPECT_EQ(text.back(), '.');
    EXPECT_EQ(GetForegroundWindow(), box) << "the box must come up in front";
    EXPECT_TRUE(WindowsOfProcess(bridge.Id(), "TForm1").empty());

    BridgeRun::Dismiss(box);
    EXPECT_EQ(bridge.WaitForExit(), std::optional<DWORD>(1));
    EXPECT_FALSE(BridgeSettingsExist()) << "a failed start-up must write no settings";
}

}  // namespace
