#pragma once
// The per-user settings: the window position, the scanner control's three
// options and the two resolution lists, read once while the main window is
// created and written once when it closes.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scanner/ScanProxy.h"

namespace settings {

struct SettingsTargets {
    HWND window;         // the main window (its position)
    HWND comboIntraRes;  // items "150", "300", "600"
    HWND comboExtraRes;  // items "150", "300"
    scanner::TDenOptixScanProxy& control;
};

// Loading after the caller has selected the lists' defaults: reads the key
// (without creating it), applies the options to the control and the indexes
// to the lists as each is read, then places the window. Returns true when
// loading ended without a registry error; a registry error is swallowed and
// skips everything after it, the placement included, and the caller then
// skips its check-box step too. Errors of the control propagate.
bool LoadSettings(const SettingsTargets& targets);

// ShowMessage for a normal close; Ignore at the end of a Windows session,
// when nobody is left to answer a message box.
enum class WriteFailure { ShowMessage, Ignore };

// Writes all seven values, creating the key when needed. A key that cannot
// be opened writes nothing and shows nothing; a value that cannot be written
// stops the saving there and, with ShowMessage, shows
// "Failed to set data for '<name>'". Errors of the control propagate.
void SaveSettings(const SettingsTargets& targets, WriteFailure onWriteFailure);

// "HKEY_CURRENT_USER\Software\Velt\Denoptix", for reports.
extern const char* const kSettingsKeyName;

// What the key holds, each of the seven values read by the start's own
// rules, for the workstation check: unlike the start, it reads on after a
// value that fails.
struct StoredValue {
    const char* name;
    std::optional<std::int32_t> value;
    std::string failure;  // the registry's text when the value cannot be used
    std::string outOfRange;  // why the number read does not mean what it should; empty when it does
};
enum class KeyFound { No, WithoutFullAccess, Yes };
struct StoredSettings {
    KeyFound key = KeyFound::No;
    std::vector<StoredValue> values;  // in the order the start reads them
};
StoredSettings ReadStoredSettings();

}  // namespace settings
