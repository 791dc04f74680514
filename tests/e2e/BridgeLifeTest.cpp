// The bridge's whole life as separate processes: started by a host with an
// exact command line, powered on, scanning into real files, handing each set
// to both receivers, closing, and coming back as it was left; then the
// faults an operator meets on a workstation.
#include "E2eSupport.h"

namespace e2e {
namespace {

using testing_support::FolderExistsOnDisk;
using testing_support::WaitUntil;

constexpr char kHost[] = "TTesmiraWnd";
constexpr char kPhoto[] = "VELT_FOTO_SERVER";

class BridgeLife : public E2eTest {};

// The bridge installed where hosts usually put it: a folder with blanks.
std::string InstalledCopy(const std::string& folder)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string program = folder + "\\Denoptix.exe";
    if (!CopyFileA(testing_support::BinPath("Denoptix.exe").c_str(), program.c_str(), FALSE))
        throw std::runtime_error("cannot copy the bridge to " + program);
    return program;
}

void ExpectFirstRunWindow(const BridgeRun& bridge)
{
    EXPECT_EQ(testing_support::WindowText(bridge.Form()), "Denoptix");
    EXPECT_TRUE(GetWindowLongA(bridge.Form(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(WindowPlace(bridge.Form()).x, kDesignedPlace.x);
    EXPECT_EQ(WindowPlace(bridge.Form()).y, kDesignedPlace.y);
    EXPECT_EQ(testing_support::WindowText(bridge.Control(kAccendi)), "Accendi");
    EXPECT_TRUE(IsWindowEnabled(bridge.Control(kAccendi)));
    EXPECT_EQ(bridge.Selection(kIntraRes), 1) << "\"300\" on a first run";
    EXPECT_EQ(bridge.Selection(kExtraRes), 0) << "\"150\" on a first run";
    // The scanner control is docked at the left edge of the client area.
    POINT clientOrigin{0, 0};
    ClientToScreen(bridge.Form(), &clientOrigin);
    RECT scanner{};
    ASSERT_TRUE(GetWindowRect(bridge.ScannerWindow(), &scanner));
    EXPECT_EQ(scanner.left, clientOrigin.x);
    EXPECT_TRUE(IsWindowVisible(bridge.ScannerWindow()));
    // Off until power-on, as the real control's stock Enabled: no click and
    // no focus for it yet.
    EXPECT_FALSE(IsWindowEnabled(bridge.ScannerWindow()));
    GUITHREADINFO focus{};
    focus.cbSize = sizeof focus;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(bridge.Form(), nullptr), &focus));
    EXPECT_NE(focus.hwndFocus, bridge.ScannerWindow());
}

TEST_F(BridgeLife, ScansIntoTheFolderHandsEachSetOverClosesAndComesBackAsLeft)
{
    auto receivers = std::make_unique<testing_support::ReceiverLog>(Path("receivers.log"));
    receivers->Start("host");
    receivers->Start("photo");
    const std::string program = InstalledCopy(Path("Programmi Velt"));
    const std::string destination = Path("Pazienti\\Paziente 0042");
    // A tab and a blank between the quoted program and the folder, as some
    // hosts write it.
    auto bridge =
        Start("\"" + program + "\"\t " + destination, {{"DENOPTIX_SIM_SETS", "3"}, {"DENOPTIX_SIM_IMAGES", "2"}});
    ASSERT_NE(bridge->Form(), nullptr);
    ExpectFirstRunWindow(*bridge);

    ASSERT_TRUE(PowerOn(*bridge));
    EXPECT_TRUE(IsWindowEnabled(bridge->ScannerWindow()));
    EXPECT_TRUE(FolderExistsOnDisk(destination));
    EXPECT_EQ(LocationsWritten(), std::vector<std::string>{destination});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(bridge->Control(kAccendi)); }, 10s))
        << "the control reached 6 after 3: Accendi must be disabled";

    // The operator's choices, and a new place for the window.
    bridge->Click(kCustomScan);
    bridge->Click(kUnsharp);
    bridge->Pick(kIntraRes, 2);
    bridge->Pick(kExtraRes, 1);
    SetWindowPos(bridge->Form(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return bridge->Checked(kUnsharp); }));

    ASSERT_TRUE(bridge->Command("scan"));
    const std::vector<std::string> images = ImagesInLog(SimLog());
    ASSERT_EQ(images.size(), 6u);
    for (const auto& image : images) {
        EXPECT_EQ(image.rfind(destination + "\\", 0), 0u) << image;
        EXPECT_NE(GetFileAttributesA(image.c_str()), INVALID_FILE_ATTRIBUTES) << image;
    }
    // Each set hands over every name of the scan so far: host first, then
    // the photo server, each finding exactly those bytes.
    const std::vector<std::string> handOvers = HandOversInLog(SimLog());
    ASSERT_EQ(handOvers.size(), 3u);
    auto received = receivers->Messages();
    ASSERT_EQ(received.size(), 6u);
    for (size_t set = 0; set < handOvers.size(); ++set) {
        ExpectMessage(received[2 * set], kHost, "WM_ACQ_DENOPTIX", 0);
        ExpectMessage(received[2 * set + 1], kPhoto, "WM_ACQ_DENOPTIX", 0);
        EXPECT_EQ(received[2 * set].clipboard, handOvers[set]) << "set " << set;
        EXPECT_EQ(received[2 * set + 1].clipboard, handOvers[set]) << "set " << set;
    }

    EXPECT_EQ(bridge->CloseAndWait(), std::optional<DWORD>(0));
    received = receivers->Messages();
    ASSERT_EQ(received.size(), 7u) << "only the photo server hears of the close";
    ExpectMessage(received.back(), kPhoto, "WM_DELETE_RESOURCE", 3);
    const std::pair<const char*, std::int32_t> stored[] = {{"X", 300},        {"Y", 200},        {"EndoScan", 0},
                                                    {"CustomScan", 1}, {"IntraRes", 2},   {"ExtraRes", 1},
                                                    {"ScanParmUnsharpMask", 1}};
    for (const auto& [name, value] : stored)
        EXPECT_EQ(testing_support::StoredBridgeInteger(name), value) << name;

    // The next start: a quoted folder with blanks after it, and no
    // receivers running any more.
    receivers.reset();
    DeleteFileA(simLog_.c_str());
    const std::string second = Path("Pazienti\\Paziente 0043");
    bridge = Start(testing_support::BridgeCommandLine("\"" + second + "\"  "),
                   {{"DENOPTIX_SIM_NAMES", "C:\\img\\a.bmp|C:\\img\\b.bmp"}});
    ASSERT_NE(bridge->Form(), nullptr);
    EXPECT_EQ(WindowPlace(bridge->Form()).x, 300);
    EXPECT_EQ(WindowPlace(bridge->Form()).y, 200);
    EXPECT_TRUE(bridge->Checked(kCustomScan));
    EXPECT_FALSE(bridge->Checked(kEndoScan));
    EXPECT_EQ(bridge->Selection(kIntraRes), 2);
    EXPECT_EQ(bridge->Selection(kExtraRes), 1);
    // The stored options reach the control before anything else is asked of it.
    std::vector<std::string> restored = SimLog("put ");
    restored.resize(3);
    EXPECT_EQ(restored, (std::vector<std::string>{"put EnableEndoScan = false", "put EnableCustomScan = true",
                                                  "put ScanParmUnsharpMask = true"}));

    ASSERT_TRUE(PowerOn(*bridge));
    EXPECT_EQ(LocationsWritten(), std::vector<std::string>{second}) << "the quotes are no part of the folder";
    EXPECT_TRUE(FolderExistsOnDisk(second));
    ASSERT_TRUE(bridge->Command("scan"));
    EXPECT_EQ(testing_support::ClipboardText(), std::optional<std::string>("C:\\img\\a.bmp\r\nC:\\img\\b.bmp\r\n"))
        << "without receivers the clipboard is still filled";
    EXPECT_TRUE(bridge->VisibleBoxes().empty());
    EXPECT_EQ(bridge->CloseAndWait(), std::optional<DWORD>(0));
}

// The support trail of a whole session answers "where did the names go?"
// without a patient's name: the folder and the images are named after one,
// a box quotes the folder, a set reaches both receivers, the bridge closes.
TEST_F(BridgeLife, TrailTellsWhereTheNamesWentAndNamesNoPatient)
{
    testing_support::ReceiverLog receivers(Path("receivers.log"));
    receivers.Start("host,photo");
    // A file where the patient's folder belongs: the folder cannot be made.
    const std::string patient = Path("Rossi Mario");
    CloseHandle(CreateFileA(patient.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    const std::string tail = patient + "\\0042";
    const std::string names =
        tail + "\\Rossi_Mario_1.bmp|" + tail + "\\Rossi_Mario_2.bmp|" + tail + "\\Rossi_Mario_3.bmp";
    auto bridge = Start(testing_support::BridgeCommandLine(tail), {{"DENOPTIX_SIM_NAMES", names}});
    ASSERT_NE(bridge->Form(), nullptr);

    bridge->Click(kAccendi);
    HWND box = bridge->WaitForBox();
    ASSERT_NE(box, nullptr) << "the folder cannot be made";
    BridgeRun::Dismiss(box);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(bridge->Control(kAccendi)); }, 20s));
    ASSERT_TRUE(bridge->Command("scan"));
    ASSERT_TRUE(WaitUntil([&] { return receivers.Messages().size() == 2; }));
    // Events the bridge does not handle: by name only, never with their file.
    ASSERT_TRUE(bridge->Command("fire OnNewTempFile " + tail + "\\Rossi_Mario.tmp"));
    ASSERT_TRUE(bridge->Command("fire OnFailureToFindScanner"));
    EXPECT_EQ(bridge->CloseAndWait(), std::optional<DWORD>(0));

    std::string trail;
    for (const auto& event : testing_support::TrailEventsOf(bridge->Id())) trail += event + "\n";
    const std::vector<std::string> story = {
        "start: Denoptix ", "command-line tail of " + std::to_string(tail.size()) + " characters, ",
        // How the bridge runs, and the DEP it turned on for itself first thing.
        sizeof(void*) == 8 ? " integrity, DEP always on (64-bit)\n"
                           : " integrity, DEP on, with thunk emulation (turned on at start)\n",
        "control {786AAF38-E504-11D1-966F-006008A3979D}, registered for ", ": created",
        "control state (built in, 17 bytes): accepted",
        "box: Unable to create directory '<folder>'", "control state 6", "set of 3 names, ",
        "host window answered in ", "photo server window answered in ",
        "control event not handled: OnEndingScan\n", "control event not handled: OnNewTempFile\n",
        "control event not handled: OnFailureToFindScanner\n", "close: photo server window answered in "};
    for (const std::string& expected : story)
        EXPECT_NE(trail.find(expected), std::string::npos) << expected << " is missing from:\n" << trail;
    EXPECT_EQ(trail.find("Rossi"), std::string::npos) << trail;
    EXPECT_EQ(trail.find("Mario"), std::string::npos) << trail;
}

// One run through what goes wrong on a workstation: a folder that cannot be
// made, the clipboard held by another program, a host that stops answering.
TEST_F(BridgeLife, OperatorFaultsAreReportedOrOutwaitedAndTheBridgeGoesOn)
{
    testing_support::ReceiverLog receivers(Path("receivers.log"));
    receivers.Start("host", "--hang host=60000");
    receivers.Start("photo");
    const std::string blocker = Path("Pazienti");
    CloseHandle(CreateFileA(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    const std::string destination = blocker + "\\0042";
    const std::string names = "C:\\img\\a.bmp\r\nC:\\img\\b.bmp\r\n";
    auto bridge = Start(testing_support::BridgeCommandLine(destination),
                        {{"DENOPTIX_SIM_NAMES", "C:\\img\\a.bmp|C:\\img\\b.bmp"}});
    ASSERT_NE(bridge->Form(), nullptr);

    // A file where the folder should be: a report naming the folder, and
    // the scanner still powers on.
    bridge->Click(kAccendi);
    HWND box = bridge->WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(testing_support::WindowText(box), "Denoptix");
    EXPECT_EQ(BridgeRun::BoxText(box).rfind("Unable to create directory '" + destination + "': ", 0), 0u)
        << BridgeRun::BoxText(box);
    BridgeRun::Dismiss(box);
    EXPECT_TRUE(WaitUntil([&] { return !SimLog("put Enabled = true").empty(); }));
    EXPECT_TRUE(LocationsWritten().empty());

    // The clipboard held elsewhere for the whole set: one report, nothing
    // sent; once it is free the next set goes through.
    {
        testing_support::ClipboardHold hold;
        ASSERT_TRUE(hold.Holding());
        auto scan = bridge->CommandInBackground("scan");
        box = bridge->WaitForBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(BridgeRun::BoxText(box), "Cannot open clipboard.");
        EXPECT_TRUE(receivers.Messages().empty());
        BridgeRun::Dismiss(box);
        EXPECT_TRUE(scan.get());
    }
    EXPECT_EQ(bridge->VisibleBoxes().size(), 0u);

    // The host takes the set and then stops answering: the bridge gives up
    // on it after its bound, and the photo server still hears of the set.
    ASSERT_TRUE(bridge->Command("scan"));
    auto received = receivers.Messages();
    ASSERT_EQ(received.size(), 2u);
    ExpectMessage(received[0], kHost, "WM_ACQ_DENOPTIX", 0);
    ExpectMessage(received[1], kPhoto, "WM_ACQ_DENOPTIX", 0);
    EXPECT_EQ(received[0].clipboard, names);
    EXPECT_EQ(received[1].clipboard, names);
    // Still hung at the next set: given up on again, the photo server told.
    ASSERT_TRUE(bridge->Command("scan"));
    received = receivers.Messages();
    ASSERT_EQ(received.size(), 3u);
    ExpectMessage(received[2], kPhoto, "WM_ACQ_DENOPTIX", 0);
    DWORD_PTR ignored = 0;
    EXPECT_NE(SendMessageTimeoutA(bridge->Form(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored), 0)
        << "the bridge must answer while its host hangs";

    EXPECT_EQ(bridge->CloseAndWait(), std::optional<DWORD>(0));
    received = receivers.Messages();
    ASSERT_EQ(received.size(), 4u);
    ExpectMessage(received[3], kPhoto, "WM_DELETE_RESOURCE", 3);
}

// Some photo servers close the program that asks them to release their
// resources. Their close request arrives while the bridge's own close waits
// on them (a send) or just after it (a post): either way the close runs once.
// Some hosts close the bridge once they have a set.
TEST_F(BridgeLife, AReceiverThatClosesTheBridgeFromItsNotificationGetsOneClose)
{
    for (const char* how : {"send", "post"}) {
        SCOPED_TRACE(how);
        DeleteFileA(simLog_.c_str());
        testing_support::ReceiverLog receivers(Path(std::string("receivers-") + how + ".log"));
        receivers.Start("photo", std::string("--close-bridge photo=") + how);
        auto bridge = Start(testing_support::BridgeCommandLine(""));
        ASSERT_NE(bridge->Form(), nullptr);
        const size_t readsBeforeClose = SimLog("get ").size();

        EXPECT_EQ(bridge->CloseAndWait(), std::optional<DWORD>(0));
        const auto received = receivers.Messages();
        ASSERT_EQ(received.size(), 1u);
        ExpectMessage(received[0], kPhoto, "WM_DELETE_RESOURCE", 3);
        EXPECT_EQ(SimLog("get ").size() - readsBeforeClose, 3u) << "the three options are saved once";
        EXPECT_TRUE(testing_support::StoredBridgeInteger("ExtraRes").has_value());
    }

    // A host that closes the bridge from its hand-over: the close runs inside
    // the hand-over, which then still reaches the photo server.
    testing_support::ReceiverLog receivers(Path("receivers-host.log"));
    receivers.Start("host", "--close-bridge host=send");
    receivers.Start("photo");
    auto bridge = Start(testing_support::BridgeCommandLine(""), {{"DENOPTIX_SIM_NAMES", "C:\\img\\a.bmp"}});
    ASSERT_NE(bridge->Form(), nullptr);
    ASSERT_TRUE(bridge->Command("scan"));
    EXPECT_EQ(bridge->WaitForExit(), std::optional<DWORD>(0));
    const auto received = receivers.Messages();
    ASSERT_EQ(received.size(), 3u);
    ExpectMessage(received[0], kHost, "WM_ACQ_DENOPTIX", 0);
    ExpectMessage(received[1], kPhoto, "WM_DELETE_RESOURCE", 3);
    ExpectMessage(received[2], kPhoto, "WM_ACQ_DENOPTIX", 0);
    EXPECT_EQ(received[2].clipboard, "C:\\img\\a.bmp\r\n");
}

// What Windows reads before the bridge's first line runs: no DPI awareness,
// so the scanner's control is scaled with the window as one picture, GDI
// scaling for sharp text, and the program's own processor (a manifest that
// names another one stops the program from starting on Windows; Wine does
// not check).
TEST(BridgeProgram, ManifestLeavesScalingToWindowsAndNamesItsOwnProcessor)
{
    const HMODULE program = LoadLibraryExA(testing_support::BinPath("Denoptix.exe").c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    const HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(program, found))),
                               SizeofResource(program, found));
    FreeLibrary(program);
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos) << manifest;
    EXPECT_NE(manifest.find(">true</gdiScaling>"), std::string::npos) << manifest;
    const std::string processor = sizeof(void*) == 8 ? "amd64" : "x86";
    // The common controls' dependency names "*"; only the program's own identity names one.
    EXPECT_NE(manifest.find("processorArchitecture=\"" + processor + "\""), std::string::npos) << manifest;
}

}  // namespace
}  // namespace e2e
