// What lies around the bridge: the receivers' windows, the trail and the
// user's settings, and the bridge itself where it may be installed.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "check/Checks.h"
#include "check/ElevationRule.h"
#include "check/FileFacts.h"
#include "settings/SettingsStore.h"
#include "trail/Policy.h"
#include "trail/Trail.h"
#include "win/UniqueResource.h"

namespace check {

namespace {

constexpr char kTrailFolderName[] = "%LOCALAPPDATA%\\Velt\\Denoptix";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

void CheckWindow(CheckReport& report, const std::optional<win::TokenFacts>& own, const char* who,
                 const char* windowClass)
{
    const std::string named = std::string(who) + " (window class " + windowClass + "): ";
    const HWND window = FindWindowA(windowClass, nullptr);
    if (window == nullptr) {
        report.Add(Outcome::Ok, named + "not running now; it only has to run while scanning");
        return;
    }
    const Finding finding = CompareElevation(own, win::ReadTokenFactsOfWindow(window));
    report.Add(finding.outcome, named + finding.text);
}

// Whether a file can be made in the folder, without leaving one behind.
bool CanWriteIn(const std::string& folder)
{
    if (folder.empty()) return false;
    const HANDLE file = CreateFileA((folder + "\\Check-write-test.tmp").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

std::string Environment(const char* name)
{
    char value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(value, length);
}

struct Place {
    std::string path;
    const char* where;
    bool spare = false;  // the portable zip's other build, used only when the control asks for it
};

std::vector<Place> PlacesOfTheBridge()
{
    const std::string beside = ThisProgramFolder();
    std::vector<Place> places = {{beside + "\\Denoptix.exe", "beside this check"},
                                 {beside + "\\x64\\Denoptix.exe", "beside this check, for a 64-bit control", true}};
    // Where setup.exe and the .msi put it, whichever this check's own bitness.
    for (const char* variable : {"ProgramFiles(x86)", "ProgramW6432", "ProgramFiles"}) {
        const std::string root = Environment(variable);
        if (root.empty()) continue;
        const std::string path = root + "\\Velt\\Denoptix\\Denoptix.exe";
        bool known = false;
        for (const Place& place : places) known = known || lstrcmpiA(place.path.c_str(), path.c_str()) == 0;
        if (!known) places.push_back({path, "installed"});
    }
    return places;
}

struct Entry {
    std::string name;
    std::string version;
    bool windowsInstaller;
};

std::string Text(HKEY key, const char* name)
{
    char value[256] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    return value;
}

// The Apps & features entries of the bridge, in both registry views.
std::vector<Entry> AppsEntries()
{
    std::vector<Entry> entries;
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        win::UniqueHkey uninstall;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | view, uninstall.put()) != ERROR_SUCCESS)
            continue;
        char subkey[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof subkey;
            if (RegEnumKeyExA(uninstall.get(), i, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            win::UniqueHkey product;
            if (RegOpenKeyExA(uninstall.get(), subkey, 0, KEY_READ | view, product.put()) != ERROR_SUCCESS) continue;
            const std::string name = Text(product.get(), "DisplayName");
            if (name == "Denoptix") {
                DWORD installer = 0;
                DWORD size = sizeof installer;
                const bool msi = RegQueryValueExA(product.get(), "WindowsInstaller", nullptr, nullptr,
                                                  reinterpret_cast<BYTE*>(&installer), &size) == ERROR_SUCCESS &&
                                 installer == 1;
                bool known = false;
                for (const Entry& entry : entries) known = known || entry.name == subkey;
                if (!known) entries.push_back({subkey, Text(product.get(), "DisplayVersion"), msi});
            }
        }
    }
    return entries;
}

}  // namespace

void CheckReceivers(CheckReport& report)
{
    report.Section("The programs the bridge notifies");
    const auto own = win::ReadTokenFacts(GetCurrentProcess());
    report.Add(Outcome::Ok, "this check: " + win::DescribeToken(own) + "; each running program is compared with it");
    CheckWindow(report, own, "host program", "TTesmiraWnd");
    CheckWindow(report, own, "photo server", "VELT_FOTO_SERVER");
}

void CheckBridgePlaces(CheckReport& report)
{
    report.Section("The bridge's own places");
    if (CanWriteIn(trail::SupportFolder()))
        report.Add(Outcome::Ok, std::string("trail folder ") + kTrailFolderName + ": can be written");
    else
        report.Add(Outcome::Warning, std::string("trail folder ") + kTrailFolderName +
                                         ": cannot be written; the bridge works, but leaves no trail for support");
    report.Add(Outcome::Ok, trail::TrailTurnedOffByPolicy()
                                ? std::string("trail: turned off by the policy value Trail under ") + trail::kPolicyKeyPath
                                : std::string("trail: on"));

    const settings::StoredSettings stored = settings::ReadStoredSettings();
    const std::string key = std::string("settings ") + settings::kSettingsKeyName;
    if (stored.key == settings::KeyFound::No) {
        report.Add(Outcome::Ok, key + ": not there yet, as before a first run");
        return;
    }
    if (stored.key == settings::KeyFound::WithoutFullAccess) {
        report.Add(Outcome::Warning, key + ": the bridge may not open it with full access, so it starts with its "
                                           "defaults and cannot keep the operator's choices");
        return;
    }
    std::string held;
    bool stopped = false;
    for (const settings::StoredValue& value : stored.values) {
        if (value.value) {
            held += (held.empty() ? "" : ", ") + std::string(value.name) + " " + std::to_string(*value.value);
            if (!value.outOfRange.empty())
                report.Add(Outcome::Warning, key + ": " + value.name + " " + std::to_string(*value.value) + " " +
                                                 value.outOfRange + ": the list starts with nothing selected, "
                                                 "and the control keeps its own resolution until the operator "
                                                 "picks one");
        } else if (!stopped) {
            stopped = true;  // the start stops reading at the first one
            report.Add(Outcome::Warning, key + ": " + value.failure +
                                             "; the bridge stops reading its settings there and starts with the "
                                             "rest at their defaults, until its next close writes them again");
        }
    }
    report.Add(Outcome::Ok, key + ": " + (held.empty() ? std::string("no usable value") : held));
}

void CheckWhereTheBridgeIs(CheckReport& report, const scanner::ControlRegistration& registration)
{
    report.Section("Where the bridge is");
    const bool control32 = registration.For32BitPrograms();
    const bool control64 = registration.For64BitPrograms();
    bool found = false;
    for (const Place& place : PlacesOfTheBridge()) {
        const FileFacts facts = ReadFileFacts(place.path, true);
        if (!facts.exists) continue;
        found = true;
        const std::string described = place.path + " (" + place.where + "): version " +
                                      (facts.version.empty() ? std::string("unknown") : facts.version) + ", " +
                                      MachineName(facts.machine);
        const bool is64 = facts.machine != Machine::X86;
        if (facts.machine == Machine::Unknown) {
            report.Add(Outcome::Warning, described + ": bitness unknown, its header cannot be read");
        } else if (!place.spare && (control32 || control64) && !(is64 ? control64 : control32)) {
            report.Add(Outcome::Failed, described + ": it cannot use the scanner control, registered for " +
                                            (control64 ? "64-bit" : "32-bit") + " programs only; install the " +
                                            (control64 ? "64-bit" : "32-bit") + " build there instead");
        } else {
            report.Add(Outcome::Ok, described);
        }
    }
    if (!found)
        report.Add(Outcome::Failed, "no Denoptix.exe beside this check or under Program Files\\Velt\\Denoptix: "
                                    "install the bridge (setup.exe or the .msi), or put the portable one beside "
                                    "this check");
    const std::vector<Entry> entries = AppsEntries();
    for (const Entry& entry : entries)
        report.Add(Outcome::Ok, "Apps & features: Denoptix " + entry.version + ", installed by " +
                                    (entry.windowsInstaller ? "the .msi" : "setup.exe"));
    if (entries.empty() && found)
        report.Add(Outcome::Ok, "no Apps & features entry: a portable bridge, which needs none");
}

}  // namespace check
