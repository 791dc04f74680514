// The workstation check as an installer runs it from a prompt, once for each
// situation a workstation may be in: its exit code and the lines that
// matter, and the same report saved beside the trail.
#include "E2eSupport.h"

#include <functional>
#include <memory>
#include <sstream>

#include "scanner/ControlData.h"

namespace e2e {
namespace {

struct Expected {
    const char* outcome;  // "ok", "warning", "FAILED" or "not checked"
    std::string text;
};

struct Situation {
    const char* name;
    std::function<std::shared_ptr<void>()> arrange;  // what holds the situation while the check runs
    std::string program;
    DWORD exitCode;
    std::vector<Expected> lines;
    std::vector<std::string> absent;  // text no line may hold
};

bool HasLine(const std::string& report, const Expected& expected)
{
    const std::string start = "  " + (expected.outcome + std::string(12, ' ')).substr(0, 12);
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(start, 0) == 0 && line.find(expected.text) != std::string::npos) return true;
    return false;
}

// The report the check saved beside the trail, named in its last line.
std::string SavedReport(const std::string& output)
{
    const std::string marker = "This report is also in ";
    const std::size_t at = output.rfind(marker);
    if (at == std::string::npos) return {};
    const std::string path = output.substr(at + marker.size(), output.find("\r\n", at) - at - marker.size());
    return testing_support::ReadFileBytes(path);
}

class WorkstationCheck : public E2eTest {};

constexpr char kLicenceKey[] = "Velt-7QX2-LICENCE";

// The stand-in built with a run-time licence, and the maker's key in the
// policy when `keyGiven`.
struct LicensedControl {
    explicit LicensedControl(bool keyGiven)
    {
        if (keyGiven) policy.Set("LicenseKey", REG_SZ, kLicenceKey, sizeof kLicenceKey);
    }
    testing_support::ScopedEnvironment licensed{{{"DENOPTIX_SIM_LICENSE_KEY", kLicenceKey}}};
    testing_support::ScopedMachinePolicy policy;
};

// An operator's settings as a damaged or hand-edited key may hold them.
struct StoredSettings {
    StoredSettings() { testing_support::StoreBridgeInteger("IntraRes", 5); }
    ~StoredSettings() { testing_support::DeleteBridgeSettings(); }
};

TEST_F(WorkstationCheck, SaysForEachSituationWhetherTheBridgeWillScan)
{
    const std::string here = testing_support::BinPath("DenoptixCheck.exe");
    const std::string otherBuild = DENOPTIX_OTHER_BIN_DIR "\\DenoptixCheck.exe";
    const std::string otherStandIn = DENOPTIX_OTHER_BIN_DIR "\\DenoptixScanSim.dll";
    const std::string thisBits = sizeof(void*) == 8 ? "64-bit" : "32-bit";
    const std::string otherBits = sizeof(void*) == 8 ? "32-bit" : "64-bit";
    // A later control's state, as IT might set it, whose mask does not name Enabled.
    std::string withoutEnabled(reinterpret_cast<const char*>(scanner::kControlData.data()), 16);
    withoutEnabled[12] = '\0';

    const Situation situations[] = {
        {"the stand-in registered for this build", [] { return nullptr; }, here, 0,
         {{"ok", "registered for " + thisBits + " programs: "},
          {"ok", "created from its CLSID"},
          {"ok", "its stored state (built in, 17 bytes) accepted"},
          {"ok", "Enabled reads false"},
          {"ok", "its events connected"},
          {"ok", "Denoptix.exe (beside this check): version "}},
         {"  FAILED", "  warning", "  not checked", "only inspected"}},
        {"a bridge running",
         [this]() -> std::shared_ptr<void> { return Start(testing_support::BridgeCommandLine(temp_.Path())); }, here,
         2, {{"not checked", "the control was not created, because Denoptix.exe is running (process "},
             {"ok", "the open bridge runs "}},
         {"created from its CLSID", "nothing found that would stop a scan"}},
        {"a control that never answers a read",
         [] {
             return std::make_shared<testing_support::ScopedEnvironment>(
                 testing_support::EnvironmentList{{"DENOPTIX_SIM_FAIL", "get:Enabled:stall 600000"}});
         },
         here, 1,
         {{"ok", "its events connected"},
          {"FAILED", "the control did not answer the read of Enabled within 30 s: the bridge would freeze there too"}},
         {"taken down again"}},
        {"the other bitness registered too, with %ProgramFiles%",
         [&otherStandIn] { return std::make_shared<testing_support::OtherBitnessRegistration>(otherStandIn); }, here, 0,
         {{"ok", "registered for " + otherBits + " programs: "},
          {"ok", "the one registered for " + thisBits + " programs was created; the one for " + otherBits +
                     " programs was only inspected"},
          {"ok", "both Denoptix.exe builds match it"}},
         {"  FAILED", "missing"}},
        {"a licensed control without its key", [] { return std::make_shared<LicensedControl>(false); }, here, 1,
         {{"ok", "its class factory offers a run-time licence (IClassFactory2): a run-time key is available, the "
                 "licence is not verified on this computer"},
          {"FAILED", "not created from its CLSID: 0x80040112"},
          {"FAILED", "The scanner control is not licensed on this computer. Its maker's licence key can be given to "
                     "Denoptix through the policy value LicenseKey"}},
         {kLicenceKey}},
        {"a licensed control with its key in the policy", [] { return std::make_shared<LicensedControl>(true); },
         here, 0,
         {{"ok", "created from its CLSID, with a licence key from the policy value LicenseKey, 17 characters"},
          {"ok", "Enabled reads false"}},
         {kLicenceKey, "  FAILED"}},
        {"a stored resolution that names no item", [] { return std::make_shared<StoredSettings>(); }, here, 0,
         {{"warning", "IntraRes 5 names no item of its list of 3 items: the list starts with nothing selected"},
          {"ok", "IntraRes 5"}},
         {"  FAILED"}},
        {"the check of the other bitness", [] { return nullptr; }, otherBuild, 1,
         {{"FAILED", "The scanner control is installed for " + thisBits + " programs, but this Denoptix.exe is the " +
                         otherBits + " build, which cannot use it. Use the " + thisBits + " Denoptix.exe"}},
         {}},
        {"no control registered",
         [] { return std::make_shared<testing_support::MissingControlRegistration>(); }, here, 1,
         {{"FAILED", "is not registered, for 32- or 64-bit programs"},
          {"FAILED", "not created from its CLSID: 0x80040154"}},
         {}},
        {"a policy state whose mask lacks Enabled",
         [&withoutEnabled] {
             auto policy = std::make_shared<testing_support::ScopedMachinePolicy>();
             policy->Set("ControlData", REG_BINARY, withoutEnabled.data(), static_cast<DWORD>(withoutEnabled.size()));
             return policy;
         },
         here, 1,
         {{"ok", "its stored state (from the policy value ControlData, 16 bytes) accepted"},
          {"FAILED", "Enabled reads true right after its stored state (from the policy value ControlData, 16 bytes) "
                     "was loaded: the scanner would never power on"}},
         {}},
    };
    for (const Situation& situation : situations) {
        SCOPED_TRACE(situation.name);
        const std::shared_ptr<void> held = situation.arrange();
        // A control that never answers costs the check its bound of 30 s, and no more.
        const auto run = testing_support::RunCommandToEnd(testing_support::CommandLineOf(situation.program, {}), 60s);
        EXPECT_EQ(run.exitCode, std::optional<DWORD>(situation.exitCode)) << run.output;
        for (const Expected& line : situation.lines)
            EXPECT_TRUE(HasLine(run.output, line)) << line.outcome << " " << line.text << " is missing from:\n" << run.output;
        for (const std::string& text : situation.absent)
            EXPECT_EQ(run.output.find(text), std::string::npos) << text << " in:\n" << run.output;
        EXPECT_EQ(run.output.find(temp_.Path()), std::string::npos) << "the test's folder in:\n" << run.output;
        const std::string saved = SavedReport(run.output);
        EXPECT_FALSE(saved.empty());
        EXPECT_EQ(run.output.rfind(saved, 0), 0u) << "the saved report is what was printed";
    }
}

}  // namespace
}  // namespace e2e
