// Bad input the bridge meets as a process, with the outcome written next to
// each. Each start takes a command-line tail and stored settings together;
// the rules behind them are covered case by case in the unit suites
// (CommandLineTail, FolderPath, FolderRoutines, ScanSession, SettingsStore,
// ImageNames, HostNotification), so these rows only prove that the pieces
// hold together in a real process.
#include "E2eSupport.h"
#include "win/Error.h"

namespace e2e {
namespace {

using testing_support::WaitUntil;

struct StoredValue {
    const char* name;
    DWORD type;
    std::string bytes;
};

std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }

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

const std::vector<StoredValue> kPositionOnly = {{"X", REG_DWORD, Dword(300)}, {"Y", REG_DWORD, Dword(200)}};

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
     {{"X", REG_SZ, std::string("300", 4)}, {"Y", REG_DWORD, Dword(200)}}, Place::Designed, 1, 0, false,
     Outcome::FolderReported},
    {"control characters in the tail; \"EndoScan\" stored in 8 bytes",
     [](const std::string& folder) { return folder + "\\P\x01\x1F"; },
     PositionAnd({{"EndoScan", REG_DWORD, Dword(1) + Dword(0)}}), Place::Designed, 1, 0, false,
     Outcome::FolderReported},
    {"unbalanced double quote; \"CustomScan\" missing",
     [](const std::string& folder) { return "\"" + folder + "\\P 1"; },
     PositionAnd({{"EndoScan", REG_DWORD, Dword(1)}}), Place::Designed, 1, 0, false, Outcome::FolderReported},
    {"blanks after an unquoted folder; every value out of range",
     [](const std::string& folder) { return folder + "\\P 2  "; },
     {{"X", REG_DWORD, Dword(100000)}, {"Y", REG_DWORD, Dword(static_cast<DWORD>(-5))},
      {"EndoScan", REG_DWORD, Dword(65536)}, {"CustomScan", REG_DWORD, Dword(static_cast<DWORD>(-1))},
      {"ScanParmUnsharpMask", REG_DWORD, Dword(2)}, {"IntraRes", REG_DWORD, Dword(5)},
      {"ExtraRes", REG_DWORD, Dword(1)}},
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

// A control that will not take its stored state is not the one the bridge
// was made for: one report naming it, no window, nothing sent or written,
// and an exit code that says the start failed.
TEST_F(BadInput, ControlRefusingItsStoredStateEndsTheStartWithOneReport)
{
    testing_support::ReceiverLog receivers(Path("receivers.log"));
    receivers.Start("photo");
    auto bridge = StartWithoutWaiting(testing_support::BridgeCommandLine(temp_.Path()),
                                      {{"DENOPTIX_SIM_REFUSE_STATE", "1"}});
    HWND box = bridge->WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BridgeRun::BoxText(box).rfind("The scanner control refused its stored state: ", 0), 0u)
        << BridgeRun::BoxText(box);
    EXPECT_TRUE(testing_support::WindowsOfProcess(bridge->Id(), "TForm1").empty());
    BridgeRun::Dismiss(box);

    EXPECT_EQ(bridge->WaitForExit(), std::optional<DWORD>(1)) << "a second box would keep it running";
    EXPECT_TRUE(receivers.Messages().empty());
    EXPECT_FALSE(testing_support::StoredBridgeInteger("X").has_value());
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
    HWND box = bridge->WaitForBox(30s);
    ASSERT_NE(box, nullptr);
    const std::string text = BridgeRun::BoxText(box);
    EXPECT_EQ(text.rfind("The scanner control is installed for " + controlBits +
                             " programs, but this Denoptix.exe is the " + bridgeBits + " build",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("Use the " + controlBits + " Denoptix.exe"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("\n\n" + win::SystemMessage(static_cast<DWORD>(REGDB_E_CLASSNOTREG)) + ".")) << text;
    EXPECT_TRUE(testing_support::WindowsOfProcess(bridge->Id(), "TForm1").empty());
    BridgeRun::Dismiss(box);

    EXPECT_EQ(bridge->WaitForExit(), std::optional<DWORD>(1)) << "a second box would keep it running";
    EXPECT_TRUE(receivers.Messages().empty());
    EXPECT_FALSE(testing_support::StoredBridgeInteger("X").has_value());
}

}  // namespace
}  // namespace e2e
