// A second start while a bridge is open in the same Windows session: the
// host starts the bridge once per patient, and only one bridge may ever
// hold the scanner, or the next patient's images could go to the folder of
// the patient before.
#include "E2eSupport.h"

namespace e2e {
namespace {

class SecondStart : public E2eTest {
protected:
    // What the later start wrote to the trail about the running bridge,
    // with no folder in it.
    std::string TrailAbout(const BridgeRun& later, const BridgeRun& running) const
    {
        std::string lines;
        for (const auto& event : testing_support::TrailEventsOf(later.Id())) {
            EXPECT_EQ(event.find("Paziente"), std::string::npos) << event;
            if (event.rfind("second start: bridge " + std::to_string(running.Id()) + " ", 0) == 0) lines += event + "\n";
        }
        return lines;
    }
    std::string Patient(int number) const { return Path("Paziente " + std::to_string(number)); }
};

TEST_F(SecondStart, AnotherFolderAnsweredNoLeavesTheRunningBridgeAloneAndOneThatEndsFreesTheWay)
{
    testing_support::ReceiverLog receivers(Path("receivers.log"));
    receivers.Start("host,photo");
    auto running = Start(testing_support::BridgeCommandLine(Patient(42)));
    ASSERT_NE(running->Form(), nullptr);

    auto refused = StartWithoutWaiting(testing_support::BridgeCommandLine(Patient(43)));
    HWND box = refused->WaitForBox();
    ASSERT_NE(box, nullptr);
    const std::string text = BridgeRun::BoxText(box);
    EXPECT_NE(text.find(Patient(42)), std::string::npos) << text;
    EXPECT_NE(text.find(Patient(43)), std::string::npos) << text;
    EXPECT_NE(FindWindowExA(box, nullptr, "Button", "&No"), nullptr);
    EXPECT_TRUE(testing_support::WindowsOfProcess(refused->Id(), "TForm1").empty()) << "no window before the answer";
    BridgeRun::Press(box, IDNO);
    EXPECT_EQ(refused->WaitForExit(), std::optional<DWORD>(1));
    EXPECT_TRUE(IsWindowVisible(running->Form()));
    EXPECT_TRUE(receivers.Messages().empty());
    EXPECT_FALSE(testing_support::BridgeSettingsExist());
    EXPECT_NE(TrailAbout(*refused, *running).find("runs for another folder: kept at the operator's word"),
              std::string::npos);

    // The host closes the open bridge while the question is on the screen:
    // the question goes away by itself and the new bridge comes up.
    auto later = StartWithoutWaiting(testing_support::BridgeCommandLine(Patient(44)));
    ASSERT_NE(later->WaitForBox(), nullptr);
    EXPECT_EQ(running->CloseAndWait(), std::optional<DWORD>(0));
    EXPECT_NE(later->WaitForForm(), nullptr);
    EXPECT_TRUE(later->VisibleBoxes().empty());
    EXPECT_EQ(later->CloseAndWait(), std::optional<DWORD>(0));
    EXPECT_NE(TrailAbout(*later, *running).find("ended while the question was open"), std::string::npos);
}

TEST_F(SecondStart, AnotherFolderAnsweredYesClosesTheRunningBridgeFullyFirst)
{
    testing_support::ReceiverLog receivers(Path("receivers.log"));
    receivers.Start("host,photo");
    auto running = Start(testing_support::BridgeCommandLine(Patient(42)));
    ASSERT_NE(running->Form(), nullptr);
    SetWindowPos(running->Form(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    auto next = StartWithoutWaiting(testing_support::BridgeCommandLine(Patient(43)));
    HWND box = next->WaitForBox();
    ASSERT_NE(box, nullptr);
    BridgeRun::Press(box, IDYES);
    EXPECT_EQ(running->WaitForExit(), std::optional<DWORD>(0));
    const auto received = receivers.Messages();
    ASSERT_EQ(received.size(), 1u);
    ExpectMessage(received[0], "VELT_FOTO_SERVER", "WM_DELETE_RESOURCE", 3);
    EXPECT_EQ(testing_support::StoredBridgeInteger("X"), 300);

    ASSERT_NE(next->WaitForForm(), nullptr);
    EXPECT_EQ(WindowPlace(next->Form()).x, 300) << "the settings just written are read";
    EXPECT_EQ(WindowPlace(next->Form()).y, 200);
    ASSERT_TRUE(PowerOn(*next));
    EXPECT_EQ(LocationsWritten(), std::vector<std::string>{Patient(43)});
    EXPECT_EQ(next->CloseAndWait(), std::optional<DWORD>(0));
    EXPECT_NE(TrailAbout(*next, *running).find("closed at the operator's word after "), std::string::npos);
}

// As the host may write it: quoted, in other letter case, with a trailing
// backslash. IT's policy value lets a workstation run two bridges.
TEST_F(SecondStart, SameFolderBringsTheRunningBridgeForwardUnlessThePolicyAllowsSeveral)
{
    auto running = Start(testing_support::BridgeCommandLine(Patient(42)));
    ASSERT_NE(running->Form(), nullptr);
    std::string sameFolder = Patient(42) + "\\";
    CharUpperA(sameFolder.data());

    auto again = StartWithoutWaiting(testing_support::BridgeCommandLine("\"" + sameFolder + "\""));
    bool boxShown = false;
    EXPECT_EQ(again->WaitForExitNoting(boxShown), std::optional<DWORD>(0));
    EXPECT_FALSE(boxShown);
    EXPECT_EQ(GetForegroundWindow(), running->Form());
    EXPECT_NE(TrailAbout(*again, *running).find("runs for the same folder: brought to the front"), std::string::npos);

    const testing_support::ScopedMachinePolicy policy;
    const DWORD several = 1;
    policy.Set("SeveralBridges", REG_DWORD, &several, sizeof several);
    auto beside = Start(testing_support::BridgeCommandLine(sameFolder));
    EXPECT_NE(beside->Form(), nullptr);
    EXPECT_EQ(beside->CloseAndWait(), std::optional<DWORD>(0));
    EXPECT_EQ(running->CloseAndWait(), std::optional<DWORD>(0));
}

// The open bridge shows its folder-error box: nothing may close it
// underneath, neither a second start nor a close request from anyone.
TEST_F(SecondStart, ABridgeBusyWithItsOwnBoxIsNeverClosedUnderneathIt)
{
    testing_support::ReceiverLog receivers(Path("receivers.log"));
    receivers.Start("host,photo");
    const std::string unusable = Path("a<b>|c");
    auto running = Start(testing_support::BridgeCommandLine(unusable));
    ASSERT_NE(running->Form(), nullptr);
    running->Click(kAccendi);
    HWND folderBox = running->WaitForBox();
    ASSERT_NE(folderBox, nullptr);
    ASSERT_EQ(BridgeRun::BoxText(folderBox).rfind("Unable to create directory", 0), 0u);

    auto next = StartWithoutWaiting(testing_support::BridgeCommandLine(Patient(43)));
    HWND box = next->WaitForBox();
    ASSERT_NE(box, nullptr);
    const std::string text = BridgeRun::BoxText(box);
    EXPECT_NE(text.find(unusable), std::string::npos) << text;
    EXPECT_NE(text.find("attende una risposta nella propria finestra"), std::string::npos) << text;
    EXPECT_EQ(FindWindowExA(box, nullptr, "Button", "&Yes"), nullptr) << "closing it is not offered";
    BridgeRun::Press(box, IDOK);
    EXPECT_EQ(next->WaitForExit(), std::optional<DWORD>(1));
    EXPECT_TRUE(testing_support::WindowsOfProcess(next->Id(), "TForm1").empty());
    EXPECT_NE(TrailAbout(*next, *running).find("busy with a box of its own"), std::string::npos);

    PostMessageA(running->Form(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(testing_support::WaitUntil([&] { return WaitForSingleObject(running->Handle(), 0) == WAIT_OBJECT_0; }, 2s));
    EXPECT_TRUE(IsWindowVisible(folderBox)) << "its box is still up";
    EXPECT_TRUE(receivers.Messages().empty());
    EXPECT_FALSE(testing_support::BridgeSettingsExist());

    BridgeRun::Dismiss(folderBox);
    EXPECT_EQ(running->WaitForExit(), std::optional<DWORD>(0)) << "the held close runs once the box is answered";
    const auto received = receivers.Messages();
    ASSERT_EQ(received.size(), 1u);
    ExpectMessage(received[0], "VELT_FOTO_SERVER", "WM_DELETE_RESOURCE", 3);
    EXPECT_TRUE(testing_support::BridgeSettingsExist());
}

}  // namespace
}  // namespace e2e
