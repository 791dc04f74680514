#include "settings/SettingsStore.h"

#include <optional>
#include <string>

#include "settings/PlacementRules.h"
#include "settings/RegistryKey.h"
#include "settings/StoredValues.h"
#include "trail/Trail.h"
#include "win/ErrorReport.h"
#include "win/ListSelection.h"
#include "win/UniqueResource.h"

namespace settings {

namespace {

// The same key in the two letter cases the bridge has always used: a key
// that a close creates takes the lower-case spelling.
constexpr char kReadKeyPath[] = "\\Software\\Velt\\Denoptix";
constexpr char kWriteKeyPath[] = "\\software\\velt\\denoptix";

struct RememberedPosition {
    std::int32_t left = 0;
    std::int32_t top = 0;
};

void ReadStoredValues(const RegistryKey& key, const SettingsTargets& targets, RememberedPosition& remembered)
{
    // Each value takes effect as soon as it is read: a failed read later on
    // leaves the earlier ones applied.
    remembered.left = key.ReadInteger(NameOf(value::X));
    remembered.top = key.ReadInteger(NameOf(value::Y));
    targets.control.SetEnableEndoScan(StoredOptionIsOn(key.ReadInteger(NameOf(value::EndoScan))));
    targets.control.SetEnableCustomScan(StoredOptionIsOn(key.ReadInteger(NameOf(value::CustomScan))));
    targets.control.SetScanParmUnsharpMask(StoredOptionIsOn(key.ReadInteger(NameOf(value::ScanParmUnsharpMask))));
    win::SelectIndexFromCode(targets.comboIntraRes, key.ReadInteger(NameOf(value::IntraRes)));
    win::SelectIndexFromCode(targets.comboExtraRes, key.ReadInteger(NameOf(value::ExtraRes)));
}

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM monitors)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(handle, &info))
        reinterpret_cast<std::vector<Monitor>*>(monitors)->push_back(
            {{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom},
             (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

// The only part of the placement that asks Windows; none listed means the
// primary screen's rule alone.
std::vector<Monitor> AttachedMonitors()
{
    std::vector<Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

void PlaceWindow(HWND window, const RememberedPosition& remembered)
{
    RECT bounds{};
    if (!GetWindowRect(window, &bounds)) return;
    const Placement placed =
        PlacedWindow(remembered.left, remembered.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                     GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), AttachedMonitors());
    if (!placed.left && !placed.top) return;
    // A window that will not move is no reason to stop the start-up.
    SetWindowPos(window, nullptr, placed.left.value_or(bounds.left), placed.top.value_or(bounds.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WriteCurrentValues(RegistryKey& key, const SettingsTargets& targets)
{
    RECT bounds{};
    GetWindowRect(targets.window, &bounds);
    key.WriteInteger(NameOf(value::X), bounds.left);
    key.WriteInteger(NameOf(value::Y), bounds.top);
    // Asked one at a time, each written before the next is asked for.
    key.WriteInteger(NameOf(value::EndoScan), targets.control.EnableEndoScan() ? 1 : 0);
    key.WriteInteger(NameOf(value::CustomScan), targets.control.EnableCustomScan() ? 1 : 0);
    key.WriteInteger(NameOf(value::ScanParmUnsharpMask), targets.control.ScanParmUnsharpMask() ? 1 : 0);
    key.WriteInteger(NameOf(value::IntraRes), win::SelectedIndex(targets.comboIntraRes));
    key.WriteInteger(NameOf(value::ExtraRes), win::SelectedIndex(targets.comboExtraRes));
}

}  // namespace

const char* const kSettingsKeyName = "HKEY_CURRENT_USER\\Software\\Velt\\Denoptix";

StoredSettings ReadStoredSettings()
{
    StoredSettings stored;
    const std::optional<RegistryKey> key = RegistryKey::OpenExisting(HKEY_CURRENT_USER, kReadKeyPath);
    if (!key) {
        win::UniqueHkey readable;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, RelativeKeyPath(kReadKeyPath).c_str(), 0, KEY_READ, readable.put()) ==
            ERROR_SUCCESS)
            stored.key = KeyFound::WithoutFullAccess;
        return stored;
    }
    stored.key = KeyFound::Yes;
    for (const ValueRule& rule : kStoredValues) {
        try {
            const std::int32_t read = key->ReadInteger(rule.name);
            stored.values.push_back({rule.name, read, {}, OutOfRange(rule, read)});
        } catch (const RegistryError& error) {
            stored.values.push_back({rule.name, std::nullopt, error.what(), {}});
        }
    }
    return stored;
}

bool LoadSettings(const SettingsTargets& targets)
{
    RememberedPosition remembered;
    try {
        // Absent, or full access refused: nothing to read, the defaults stay.
        if (const std::optional<RegistryKey> key = RegistryKey::OpenExisting(HKEY_CURRENT_USER, kReadKeyPath))
            ReadStoredValues(*key, targets, remembered);
    } catch (const RegistryError& error) {
        // Silently: a damaged value only costs the rest of the remembered state.
        trail::Write(std::string("settings: reading stopped: ") + error.what());
        return false;
    }
    PlaceWindow(targets.window, remembered);
    return true;
}

void SaveSettings(const SettingsTargets& targets, WriteFailure onWriteFailure)
{
    std::optional<std::string> failure;
    {
        std::optional<RegistryKey> key = RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kWriteKeyPath);
        if (!key) {  // nothing written, nothing shown, the close goes on
            trail::Write("settings: the key cannot be opened for writing");
            return;
        }
        try {
            WriteCurrentValues(*key, targets);
        } catch (const RegistryError& error) {
            failure = error.what();
            trail::Write("settings: writing failed: " + *failure);
        }
    }  // the key is closed before any box waits for the operator
    if (failure && onWriteFailure == WriteFailure::ShowMessage) win::ShowMessageBox(targets.window, *failure, MB_OK);
}

}  // namespace settings
