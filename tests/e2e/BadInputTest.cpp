// Bad input the bridge meets as a process, with the outcome written next to
// each. Each start takes a command-line tail and stored settings together;
// the rules behind them are covered case by case in the unit suites
// (CommandLineTail, FolderPath, FolderRoutines, ScanSession, SettingsStore,
// ImageNames, HostNotification), so these rows only prove that the pieces
// hold together in a real process.
#include "E2eSupport.h"

#include <dbghelp.h>

#include <algorithm>

#include "scanner/ControlContract.h"
#include "scanner/ControlData.h"
#include "trail/CrashReport.h"
#include "trail/Trail.h"
#include "win/Error.h"
#include "win/UniqueResource.h"

namespace e2e {
namespace {

using testing_support::WaitUntil;

struct StoredValue {
    const char* name;
    DWORD type;
    std::string bytes;
};

using testing_support::DwordBytes;

enum class Place { Designed, AtRightEdge };

enum class Outcome {
    Plain,            // no folder: powered on, nothing reported
    IntoFolder,       // the tail is written as the location
    FolderReported,   // a report naming the folder, powered on all the same
    Stopped,          // a report, no power-on, Accendi stays enabled
};

struct BadStart {
    const char* input;
    std::string (*tail)(const std::string& folder);
    std::vector<StoredValue> stored;
    Place place;
    int intraRes;
    int extraRes;
    bool customScanChecked;
    Outcome powerOn;
};

const std::vector<StoredValue> kPositionOnly = {{"X", REG_DWORD, DwordBytes(300)}, {"Y", REG_DWORD, DwordBytes(200)}};

std::vector<StoredValue> PositionAnd(std::vector<StoredValue> more)
{
    more.insert(more.begin(), kPositionOnly.begin(), kPositionOnly.end());
    return more;
}

const BadStart kBadStarts[] = {
    {"empty tail; no settings stored", [](const std::string&) { return std::string(); }, {}, Place::Designed, 1, 0,
     false, Outcome::Plain},
    {"empty folder in quotes, as from an empty host variable", [](const std::string&) { return std::string("\"\""); },
     {}, Place::Designed, 1, 0, false, Outcome::Plain},
    {"32,000-character tail nested a folder per letter; \"X\" stored as text",
     [](const std::string& folder) {
         std::string tail = folder;
         while (tail.size() + 2 <= 32000) tail += "\\d";
         return tail;
     },
     {{"X", REG_SZ, std::string("300", 4)}, {"Y", REG_DWORD, DwordBytes(200)}}, Place::Designed, 1, 0, false,
     Outcome::FolderReported},
    {"control characters in the tail; \"EndoScan\" stored in 8 bytes",
     [](const std::string& folder) { return folder + "\\P\x01\x1F"; },
     PositionAnd({{"EndoScan", REG_DWORD, DwordBytes(1) + DwordBytes(0)}}), Place::Designed, 1, 0, false,
     Outcome::FolderReported},
    {"unbalanced double quote; \"CustomScan\" missing",
     [](const std::string& folder) { return "\"" + folder + "\\P 1"; },
     PositionAnd({{"EndoScan", REG_DWORD, DwordBytes(1)}}), Place::Designed, 1, 0, false, Outcome::FolderReported},
    {"blanks after an unquoted folder; every value out of range",
     [](const std::string& folder) { return folder + "\\P 2  "; },
     {{"X", REG_DWORD, DwordBytes(100000)}, {"Y", REG_DWORD, DwordBytes(static_cast<DWORD>(-5))},
      {"EndoScan", REG_DWORD, DwordBytes(65536)}, {"CustomScan", REG_DWORD, DwordBytes(static_cast<DWORD>(-1))},
      {"ScanParmUnsharpMask", REG_DWORD, DwordBytes(2)}, {"IntraRes", REG_DWORD, DwordBytes(5)},
      {"ExtraRes", REG_DWORD, DwordBytes(1)}},
     Place::AtRightEdge, -1, 1, true, Outcome::IntoFolder},
    {"relative folder without a parent", [](const std::string&) { return std::string("Immagini"); }, {},
     Place::Designed, 1, 0, false, Outcome::Stopped},
    {"characters no folder name may hold", [](const std::string& folder) { return folder + "\\a<b>|c"; }, {},
     Place::Designed, 1, 0, false, Outcome::FolderReported},
};

class BadInput : public E2eTest {
protected:
    void ExpectWindowAsStored(const BridgeRun& bridge, const BadStart& row) const;
    void ExpectPowerOn(BridgeRun& bridge, const std::string& tail, Outcome outcome) const;
};

void BadInput::ExpectWindowAsStored(const BridgeRun& bridge, const BadStart& row) const
{
    RECT bounds{};
    GetWindowRect(bridge.Form(), &bounds);
    const LONG expectedLeft = row.place == Place::Designed
                                  ? kDesignedPlace.x
                                  : GetSystemMetrics(SM_CXSCREEN) - (bounds.right - bounds.left) - 1;
    EXPECT_EQ(bounds.left, expectedLeft);
    EXPECT_EQ(bounds.top, kDesignedPlace.y);
    EXPECT_EQ(bridge.Selection(kIntraRes), row.intraRes);
    EXPECT_EQ(bridge.Selection(kExtraRes), row.extraRes);
    EXPECT_EQ(bridge.Checked(kCustomScan), row.customScanChecked);
    EXPECT_FALSE(bridge.Checked(kEndoScan));
    EXPECT_TRUE(bridge.VisibleBoxes().empty()) << "bad settings are dropped without a word";
}

void BadInput::ExpectPowerOn(BridgeRun& bridge, const std::string& tail, Outcome outcome) const
{
    bridge.Click(kAccendi);
    if (outcome == Outcome::FolderReported || outcome == Outcome::Stopped) {
        HWND box = bridge.WaitForBox();
        ASSERT_NE(box, nullptr);
        const std::string text = BridgeRun::BoxText(box);
        if (outcome == Outcome::Stopped) EXPECT_EQ(text, "Unable to create directory.");
        else EXPECT_EQ(text.rfind("Unable to create directory '" + tail + "': ", 0), 0u) << text.substr(0, 300);
        BridgeRun::Dismiss(box);
    }
    if (outcome == Outcome::Stopped) {
        ASSERT_TRUE(WaitUntil([&] { return bridge.VisibleBoxes().empty(); }));
        EXPECT_TRUE(IsWindowEnabled(bridge.Control(kAccendi)));
        EXPECT_TRUE(SimLog("get Enabled").empty()) << "power-on stops before the control is asked";
        EXPECT_TRUE(LocationsWritten().empty());
        return;
    }
    ASSERT_TRUE(WaitUntil([&] { return !SimLog("put Enabled = true").empty(); }));
    EXPECT_TRUE(bridge.VisibleBoxes().empty());
    if (outcome == Outcome::IntoFolder) {
        EXPECT_EQ(LocationsWritten(), std::vector<std::string>{tail});
        EXPECT_TRUE(testing_support::FolderExistsOnDisk(tail));
    } else {
        EXPECT_TRUE(LocationsWritten().empty());
    }
}

TEST_F(BadInput, StartsWithBadTailsAndBadSettingsStillRunAndCloseCleanly)
{
    for (const BadStart& row : kBadStarts) {
        SCOPED_TRACE(row.input);
        testing_support::DeleteBridgeSettings();
        for (const auto& value : row.stored)
            testing_support::StoreBridgeValue(value.name, value.type, value.bytes.data(),
                                              static_cast<DWORD>(value.bytes.size()));
        DeleteFileA(simLog_.c_str());
        const std::string tail = row.tail(temp_.Path());
        auto bridge = Start(testing_support::BridgeCommandLine(tail));
        ASSERT_NE(bridge->Form(), nullptr);
        ExpectWindowAsStored(*bridge, row);
        ExpectPowerOn(*bridge, tail, row.powerOn);

        EXPECT_EQ(bridge->CloseAndWait(), std::optional<DWORD>(0));
        EXPECT_EQ(testing_support::StoredBridgeInteger("IntraRes"), row.intraRes);
        for (const char* name : {"X", "Y", "EndoScan", "CustomScan", "ScanParmUnsharpMask", "ExtraRes"})
            EXPECT_TRUE(testing_support::StoredBridgeInteger(name).has_value()) << name << " rewritten as a 4-byte number";
    }
}

struct BadName {
    const char* input;
    std::string scripted;  // as the control's `names` command takes it (UTF-8, \0 for a NUL)
    std::string handedOver;  // the bytes the host must find, CR LF included
};

const BadName kBadNames[] = {
    {"empty name", "", "\r\n"},
    {"NUL inside the name", "C:\\img\\ab\\0cd.bmp", "C:\\img\\ab\r\n"},
    {"characters outside the code page", "C:\\img\\x\xE4\xB8\xAD\xD0\x96y.bmp", "C:\\img\\x??y.bmp\r\n"},
    {"characters of the code page", "C:\\img\\Perl\xC3\xA8.bmp", "C:\\img\\Perl\xE8.bmp\r\n"},
    {"32,000-character name", std::string(32000, 'n'), std::string(32000, 'n') + "\r\n"},
};

// Names no scanner should report, handed over in one set to a host that
// replaces the clipboard before the photo server looks at it.
TEST_F(BadInput, OddImageNamesReachTheHostAsCodePageTextAndAChangedClipboardReachesThePhotoServer)
{
    testing_support::ReceiverLog receivers(Path("receivers.log"));
    receivers.Start("host", "--set-clipboard host=changed\\r\\n");
    receivers.Start("photo");
    auto bridge = Start(testing_support::BridgeCommandLine(""));
    ASSERT_NE(bridge->Form(), nullptr);

    std::string command = "names ";
    std::string expected;
    for (const BadName& row : kBadNames) {
        command += (&row == kBadNames ? "" : "|") + row.scripted;
        expected += row.handedOver;
    }
    ASSERT_TRUE(bridge->Command(command));
    ASSERT_TRUE(bridge->Command("scan"));
    ASSERT_TRUE(bridge->Command("nullname"));
    ASSERT_TRUE(bridge->Command("scan"));

    const auto received = receivers.Messages();
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0].windowClass, "TTesmiraWnd");
    EXPECT_EQ(received[0].clipboard, expected);
    EXPECT_EQ(received[1].windowClass, "VELT_FOTO_SERVER");
    EXPECT_EQ(received[1].clipboard, "changed\r\n");
    EXPECT_EQ(received[2].clipboard, "\r\n") << "a null name hands over a bare line end";
    EXPECT_TRUE(bridge->VisibleBoxes().empty());
    EXPECT_EQ(bridge->CloseAndWait(), std::optional<DWORD>(0));
}

// A control that refuses properties: each refusal is one report, and the
// bridge keeps running; a refusal at close keeps the window open.
TEST_F(BadInput, ControlRefusingPropertiesIsReportedAndTheBridgeGoesOn)
{
    auto bridge = StartWithoutWaiting(
        testing_support::BridgeCommandLine(temp_.Path()),
        {{"DENOPTIX_SIM_FAIL", "get:EnableEndoScan:Scanner busy;put:Enabled:Scanner not found"}});
    HWND box = bridge->WaitForBox();
    ASSERT_NE(box, nullptr) << "the start-up reads EndoScan";
    EXPECT_EQ(BridgeRun::BoxText(box), "Scanner busy.");
    BridgeRun::Dismiss(box);
    ASSERT_NE(bridge->WaitForForm(), nullptr) << "the window comes up after the report";

    bridge->Click(kAccendi);
    box = bridge->WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BridgeRun::BoxText(box), "Scanner not found.");
    BridgeRun::Dismiss(box);
    ASSERT_TRUE(WaitUntil([&] { return bridge->VisibleBoxes().empty(); }));
    EXPECT_TRUE(IsWindowEnabled(bridge->Control(kAccendi)));
    EXPECT_EQ(LocationsWritten(), std::vector<std::string>{temp_.Path()}) << "the folder was handed over first";

    PostMessageA(bridge->Form(), WM_CLOSE, 0, 0);
    box = bridge->WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BridgeRun::BoxText(box), "Scanner busy.");
    BridgeRun::Dismiss(box);
    ASSERT_TRUE(WaitUntil([&] { return bridge->VisibleBoxes().empty(); }));
    EXPECT_TRUE(IsWindowVisible(bridge->Form())) << "a refused close keeps the window open";
    EXPECT_FALSE(bridge->WaitForExit(0ms).has_value());
    EXPECT_TRUE(testing_support::StoredBridgeInteger("Y").has_value()) << "values before the refusal stay written";
    EXPECT_FALSE(testing_support::StoredBridgeInteger("EndoScan").has_value());

    ASSERT_TRUE(bridge->Command("fail clear"));
    EXPECT_EQ(bridge->CloseAndWait(), std::optional<DWORD>(0));
    EXPECT_TRUE(testing_support::StoredBridgeInteger("ExtraRes").has_value());
}

// A start that fails: exactly one report (its text is returned), no window,
// nothing sent or written, and the exit code of a failed start.
std::string OneStartUpFailure(BridgeRun& bridge, const testing_support::ReceiverLog& receivers)
{
    HWND box = bridge.WaitForBox(30s);
    if (box == nullptr) {
        ADD_FAILURE() << "no report";
        return {};
    }
    const std::string text = BridgeRun::BoxText(box);
    EXPECT_TRUE(testing_support::WindowsOfProcess(bridge.Id(), "TForm1").empty());
    BridgeRun::Dismiss(box);
    EXPECT_EQ(bridge.WaitForExit(), std::optional<DWORD>(1)) << "a second box would keep it running";
    EXPECT_TRUE(receivers.Messages().empty());
    EXPECT_FALSE(testing_support::StoredBridgeInteger("X").has_value());
    return text;
}

// A control that will not take its stored state is not the one the bridge
// was made for: one report naming it, no window, nothing sent or written,
// and an exit code that says the start failed.
TEST_F(BadInput, ControlRefusingItsStoredStateEndsTheStartWithOneReport)
{
    testing_support::ReceiverLog receivers(Path("receivers.log"));
    receivers.Start("photo");
    auto bridge = StartWithoutWaiting(testing_support::BridgeCommandLine(temp_.Path()),
                                      {{"DENOPTIX_SIM_REFUSE_STATE", "1"}});
    const std::string text = OneStartUpFailure(*bridge, receivers);
    EXPECT_EQ(text.rfind("The scanner control refused its stored state: ", 0), 0u) << text;
}

// IT's way out for another version of the control: the machine policy value
// ControlData replaces the built-in state. A value the control refuses is
// named in the one report; one it takes is used and powers on; a value of
// the wrong kind is ignored for the built-in state. The trail says which.
TEST_F(BadInput, AMachinePolicyStateReplacesTheBuiltInOneAndTheTrailSaysWhich)
{
    const testing_support::ScopedMachinePolicy policy;
    const std::string builtIn(reinterpret_cast<const char*>(scanner::kControlData.data()), scanner::kControlData.size());
    const char* const kIgnored = "control state: policy value ControlData ignored, ";
    const char* const kBuiltInAccepted = "control state (built in, 17 bytes): accepted";
    struct Row {
        const char* input;
        DWORD type;
        std::string bytes;
        std::string ignored;  // the trail's reason, after kIgnored; empty when used
        std::string handedOver;  // the trail's line for the state handed over
    };
    const Row rows[] = {
        {"a state one byte short", REG_BINARY, builtIn.substr(0, 16), "",
         "control state (from the policy value ControlData, 16 bytes): refused, 0x80004005 "},
        {"a later version's longer state", REG_BINARY, builtIn + "xyz", "",
         "control state (from the policy value ControlData, 20 bytes): accepted"},
        {"a number", REG_DWORD, DwordBytes(1), "it is of type 4, not REG_BINARY", kBuiltInAccepted},
        {"an empty value", REG_BINARY, "", "it is empty", kBuiltInAccepted},
        {"more than 4 KiB", REG_BINARY, std::string(4097, 'x'), "its 4097 bytes are more than 4096 bytes",
         kBuiltInAccepted},
    };
    // The policy's DEP switch, read by the same reader: the start line names it.
    const std::string dep = DwordBytes(0);
    policy.Set("DataExecutionPrevention", REG_DWORD, dep.data(), static_cast<DWORD>(dep.size()));
    const std::string depMode = sizeof(void*) == 8 ? ", DEP always on (64-bit)"
                                                   : " (as the system sets it: policy value DataExecutionPrevention 0)";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.input);
        policy.Set("ControlData", row.type, row.bytes.data(), static_cast<DWORD>(row.bytes.size()));
        DeleteFileA(simLog_.c_str());
        testing_support::ReceiverLog receivers(Path("receivers.log"));
        auto bridge = StartWithoutWaiting(testing_support::BridgeCommandLine(temp_.Path()));
        const bool refused = row.handedOver.find("refused") != std::string::npos;
        if (refused) {
            const std::string text = OneStartUpFailure(*bridge, receivers);
            EXPECT_EQ(text.rfind("The scanner control refused its stored state: ", 0), 0u) << text;
            EXPECT_NE(text.find("policy value ControlData under HKEY_LOCAL_MACHINE\\Software\\Policies\\Velt\\Denoptix "
                                "(16 bytes): correct or remove that value."),
                      std::string::npos)
                << text;
        } else {
            ASSERT_NE(bridge->WaitForForm(), nullptr);
            if (row.ignored.empty()) {
                EXPECT_TRUE(PowerOn(*bridge)) << "the state it took leaves Enabled false";
            }
            EXPECT_EQ(bridge->CloseAndWait(), std::optional<DWORD>(0));
        }
        const auto events = testing_support::TrailEventsOf(bridge->Id());
        const auto has = [&](const std::string& prefix) {
            return std::any_of(events.begin(), events.end(),
                               [&](const std::string& event) { return event.rfind(prefix, 0) == 0; });
        };
        EXPECT_TRUE(has(row.handedOver)) << row.handedOver;
        EXPECT_TRUE(std::any_of(events.begin(), events.end(), [&](const std::string& event) {
            return event.rfind("start: ", 0) == 0 && event.find(depMode) == event.size() - depMode.size();
        })) << depMode;
        EXPECT_EQ(has(kIgnored), !row.ignored.empty());
        if (!row.ignored.empty()) {
            EXPECT_TRUE(has(kIgnored + row.ignored)) << row.ignored;
        }
    }
}

// A control built with a run-time licence, on a computer without its maker's
// licence file: without the key, or with a wrong one, one report says so and
// where IT gives the key; with the key in the policy value the bridge comes
// up and powers on; a key for a control that needs none changes nothing.
// The key itself is in no line of the trail.
TEST_F(BadInput, ALicensedControlTakesTheMakersKeyFromThePolicyAndNeverShowsIt)
{
    const testing_support::ScopedMachinePolicy policy;
    const std::string key = "Velt-7QX2-LICENCE";
    const testing_support::EnvironmentList licensed = {{"DENOPTIX_SIM_LICENSE_KEY", key}};
    struct Row {
        const char* input;
        testing_support::EnvironmentList control;
        std::string given;   // the policy value; empty: none
        std::string report;  // the report's start; empty: the bridge comes up
    };
    const Row rows[] = {
        {"no key", licensed, "", "The scanner control is not licensed on this computer. Its maker's licence key "
                                 "can be given to Denoptix through the policy value LicenseKey under "
                                 "HKEY_LOCAL_MACHINE\\Software\\Policies\\Velt\\Denoptix"},
        {"a wrong key", licensed, "Velt-0000-WRONG",
         "The scanner control is not licensed on this computer, and it refused a licence key from the policy value "
         "LicenseKey, 15 characters: correct that value"},
        {"the maker's key", licensed, key, ""},
        {"a key for a control that needs none", {}, key, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.input);
        if (row.given.empty()) policy.Remove("LicenseKey");
        else policy.Set("LicenseKey", REG_SZ, row.given.c_str(), static_cast<DWORD>(row.given.size() + 1));
        testing_support::ReceiverLog receivers(Path("receivers.log"));
        auto bridge = StartWithoutWaiting(testing_support::BridgeCommandLine(temp_.Path()), row.control);
        if (!row.report.empty()) {
            const std::string text = OneStartUpFailure(*bridge, receivers);
            EXPECT_EQ(text.rfind(row.report, 0), 0u) << text;
            EXPECT_EQ(text.find(row.given.empty() ? key : row.given), std::string::npos) << text;
        } else {
            ASSERT_NE(bridge->WaitForForm(), nullptr);
            EXPECT_TRUE(PowerOn(*bridge));
            EXPECT_EQ(bridge->CloseAndWait(), std::optional<DWORD>(0));
        }
        const std::string trail = testing_support::ReadFileBytes(testing_support::SupportTrailPath());
        EXPECT_EQ(trail.find(key), std::string::npos);
        EXPECT_EQ(trail.find("Velt-0000-WRONG"), std::string::npos);
    }
}

// The policy's other switch: "Trail" 0 keeps a whole run out of the trail.
TEST_F(BadInput, ATrailTurnedOffByPolicyGetsNoLine)
{
    // The same run without the policy writes lines, or the empty trail below
    // would prove nothing.
    for (const bool turnedOff : {false, true}) {
        SCOPED_TRACE(turnedOff ? "policy Trail 0" : "no policy");
        const testing_support::ScopedMachinePolicy policy;
        const DWORD off = 0;
        if (turnedOff) policy.Set("Trail", REG_DWORD, &off, sizeof off);
        auto bridge = Start(testing_support::BridgeCommandLine(temp_.Path()));
        ASSERT_TRUE(PowerOn(*bridge));
        EXPECT_EQ(bridge->CloseAndWait(), std::optional<DWORD>(0));
        EXPECT_EQ(testing_support::TrailEventsOf(bridge->Id()).empty(), turnedOff);
    }
}

// The bridge of the other bitness, started where the stand-in control is
// registered for this build's bitness only (as a practice installs the
// scanner's own control): the one report names the mismatch and the build to
// use, and the system's text follows. Run by both builds, this covers both
// directions.
TEST_F(BadInput, BridgeOfTheOtherBitnessNamesTheMismatchInItsOneReport)
{
    const std::string otherBridge = DENOPTIX_OTHER_BIN_DIR "\\Denoptix.exe";
    ASSERT_NE(GetFileAttributesA(otherBridge.c_str()), INVALID_FILE_ATTRIBUTES)
        << otherBridge << " is missing: build the presets of both bitnesses";
    const std::string controlBits = sizeof(void*) == 8 ? "64-bit" : "32-bit";
    const std::string bridgeBits = sizeof(void*) == 8 ? "32-bit" : "64-bit";
    testing_support::ReceiverLog receivers(Path("receivers.log"));
    receivers.Start("host,photo");

    auto bridge = StartWithoutWaiting("\"" + otherBridge + "\" " + temp_.Path());
    const std::string text = OneStartUpFailure(*bridge, receivers);
    EXPECT_EQ(text.rfind("The scanner control is installed for " + controlBits +
                             " programs, but this Denoptix.exe is the " + bridgeBits + " build",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("Use the " + controlBits + " Denoptix.exe"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("\n\n" + win::SystemMessage(static_cast<DWORD>(REGDB_E_CLASSNOTREG)) + ".")) << text;
}

// A trail that cannot be written (another program holds the file) changes
// nothing: no box, the set reaches both receivers, and the file stays as it was.
TEST_F(BadInput, ALockedTrailChangesNothing)
{
    const std::string trailPath = testing_support::SupportTrailPath();
    std::string folder = trailPath.substr(0, trailPath.rfind('\\'));
    CreateDirectoryA(folder.substr(0, folder.rfind('\\')).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    const win::UniqueHandle held(
        CreateFileA(trailPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
    LARGE_INTEGER before{};
    ASSERT_TRUE(GetFileSizeEx(held.get(), &before));
    testing_support::ReceiverLog receivers(Path("receivers.log"));
    receivers.Start("host,photo");

    auto bridge = StartAndHandOverOneSet(receivers);
    ASSERT_FALSE(HasFailure());
    EXPECT_TRUE(bridge->VisibleBoxes().empty());
    EXPECT_EQ(bridge->CloseAndWait(), std::optional<DWORD>(0));

    const auto handOvers = HandOversInLog(SimLog());
    ASSERT_EQ(handOvers.size(), 1u);
    for (const auto& received : receivers.Messages()) EXPECT_EQ(received.clipboard, handOvers[0]);
    LARGE_INTEGER after{};
    ASSERT_TRUE(GetFileSizeEx(held.get(), &after));
    EXPECT_EQ(after.QuadPart, before.QuadPart);
}

std::string CrashFolder()
{
    const std::string trail = testing_support::SupportTrailPath();
    return trail.substr(0, trail.rfind('\\')) + "\\Crashes";
}

// The crash reports of this test prefix, newest first.
std::vector<std::string> CrashReports()
{
    const std::string folder = CrashFolder();
    std::vector<std::pair<FILETIME, std::string>> found;
    WIN32_FIND_DATAA entry{};
    const HANDLE search = FindFirstFileA((folder + "\\Denoptix-*.dmp").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return {};
    do found.emplace_back(entry.ftLastWriteTime, folder + "\\" + entry.cFileName);
    while (FindNextFileA(search, &entry));
    FindClose(search);
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return CompareFileTime(&a.first, &b.first) > 0; });
    std::vector<std::string> paths;
    for (const auto& [written, path] : found) paths.push_back(path);
    return paths;
}

// Six reports of earlier crashes, each a day older than the one before.
std::vector<std::string> LeaveOldCrashReports()
{
    CreateDirectoryA(CrashFolder().c_str(), nullptr);
    std::vector<std::string> paths;
    SYSTEMTIME day{2026, 1, 0, 1, 12, 0, 0, 0};
    for (int i = 0; i < 6; ++i, ++day.wDay) {
        const std::string path = CrashFolder() + "\\Denoptix-0.9.0-2026010" + std::to_string(i + 1) + "T120000Z.dmp";
        const win::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        FILETIME written{};
        SystemTimeToFileTime(&day, &written);
        SetFileTime(file.get(), nullptr, nullptr, &written);
        paths.push_back(path);
    }
    return paths;
}

template <typename T>
const T* At(const std::string& bytes, std::size_t offset)
{
    return offset + sizeof(T) <= bytes.size() ? reinterpret_cast<const T*>(bytes.data() + offset) : nullptr;
}

// A fault inside the scanner control (a write through a null pointer, from
// a message the control posted itself) while a set is in progress: a
// minidump with the exception inside the control's module, one line in the
// trail, one box on top naming the module and what became of the set, the
// crash exit code, and nothing handed over twice.
TEST_F(BadInput, AControlThatCrashesLeavesAReportAndOneBox)
{
    testing_support::ReceiverLog receivers(Path("receivers.log"));
    receivers.Start("host,photo");
    auto bridge = StartAndHandOverOneSet(receivers);
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(bridge->Command("fire OnStartingScan"));
    ASSERT_TRUE(bridge->Command("fire OnNewImage 0 C:\\Pazienti\\x.bmp"));

    for (const std::string& path : CrashReports()) DeleteFileA(path.c_str());
    const std::vector<std::string> oldReports = LeaveOldCrashReports();

    ASSERT_TRUE(bridge->Command("crash"));
    HWND box = bridge->WaitForBox(30s);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), bridge->Form()) << "owned by the stay-on-top window, so it is in front";
    const std::string text = BridgeRun::BoxText(box);
    EXPECT_EQ(text.rfind("Denoptix stopped because of a fault in DenoptixScanSim.dll (exception 0x", 0), 0u) << text;
    EXPECT_NE(text.find("The host program was not told of the set in progress (1 image)."), std::string::npos) << text;
    const std::vector<std::string> reports = CrashReports();
    ASSERT_FALSE(reports.empty());
    const std::string dump = reports.front();
    // The newest five are kept: this one and the four latest before it.
    EXPECT_EQ(reports, (std::vector<std::string>{dump, oldReports[5], oldReports[4], oldReports[3], oldReports[2]}));
    EXPECT_NE(text.find("A report for support is in " + dump + "."), std::string::npos) << text;
    BridgeRun::Dismiss(box);
    EXPECT_EQ(bridge->WaitForExit(), std::optional<DWORD>(trail::kCrashExitCode));
    EXPECT_EQ(receivers.Messages().size(), 2u) << "nothing handed over twice, nor a close notice";

    // The dump: its signature, and the exception it holds, inside the
    // control's module, with the code the box and the trail name.
    const std::string bytes = testing_support::ReadFileBytes(dump);
    EXPECT_EQ(bytes.substr(0, 4), "MDMP");
    const auto* header = At<MINIDUMP_HEADER>(bytes, 0);
    ASSERT_NE(header, nullptr);
    const MINIDUMP_EXCEPTION_STREAM* exception = nullptr;
    const MINIDUMP_MODULE_LIST* modules = nullptr;
    for (ULONG32 i = 0; i < header->NumberOfStreams; ++i) {
        const auto* entry = At<MINIDUMP_DIRECTORY>(bytes, header->StreamDirectoryRva + i * sizeof(MINIDUMP_DIRECTORY));
        ASSERT_NE(entry, nullptr);
        if (entry->StreamType == ExceptionStream) exception = At<MINIDUMP_EXCEPTION_STREAM>(bytes, entry->Location.Rva);
        if (entry->StreamType == ModuleListStream) modules = At<MINIDUMP_MODULE_LIST>(bytes, entry->Location.Rva);
    }
    ASSERT_NE(exception, nullptr);
    ASSERT_NE(modules, nullptr);
    const std::string code = trail::Hex(exception->ExceptionRecord.ExceptionCode);
    EXPECT_NE(text.find("(exception " + code + ")"), std::string::npos) << text;
    const auto events = testing_support::TrailEventsOf(bridge->Id());
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().rfind("crash: exception " + code + " in DenoptixScanSim.dll+0x", 0), 0u) << events.back();
    const ULONG64 address = exception->ExceptionRecord.ExceptionAddress;
    bool insideTheControl = false;
    for (ULONG32 i = 0; i < modules->NumberOfModules; ++i) {
        const MINIDUMP_MODULE& module = modules->Modules[i];
        const auto* name = At<MINIDUMP_STRING>(bytes, module.ModuleNameRva);
        ASSERT_NE(name, nullptr);
        const std::wstring path(name->Buffer, name->Length / sizeof(WCHAR));
        if (path.ends_with(L"DenoptixScanSim.dll"))
            insideTheControl = address >= module.BaseOfImage && address < module.BaseOfImage + module.SizeOfImage;
    }
    EXPECT_TRUE(insideTheControl);
}

// A call into the control that does not return for 12 s: the trail says so
// once, naming the call, and again when the window answers; the bridge goes on.
TEST_F(BadInput, AControlCallThatDoesNotReturnIsWrittenToTheTrailOnce)
{
    auto bridge = Start(testing_support::BridgeCommandLine(temp_.Path()),
                        {{"DENOPTIX_SIM_FAIL", "put:Enabled:stall 12000"}});
    bridge->Click(kAccendi);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(bridge->Control(kAccendi)); }, 30s));
    EXPECT_EQ(bridge->CloseAndWait(), std::optional<DWORD>(0));

    std::vector<std::string> hangs;
    for (const auto& event : testing_support::TrailEventsOf(bridge->Id()))
        if (event.rfind("hang", 0) == 0) hangs.push_back(event);
    ASSERT_EQ(hangs.size(), 2u);
    EXPECT_EQ(hangs[0], "hang: the window has not answered for 10 s; in progress: put of scanner control member " +
                            std::to_string(scanner::contract::property::Enabled));
    EXPECT_EQ(hangs[1].rfind("hang over: put of scanner control member " +
                                 std::to_string(scanner::contract::property::Enabled) + " returned ",
                             0),
              0u)
        << hangs[1];
}

}  // namespace
}  // namespace e2e
