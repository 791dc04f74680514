#pragma once
// The bridge's settings key, HKCU\Software\Velt\Denoptix, in the test prefix.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace testing_support {

inline constexpr char kBridgeSettingsKey[] = "Software\\Velt\\Denoptix";

// A REG_DWORD's four bytes, as the registry stores them.
inline std::string DwordBytes(DWORD value)
{
    std::string bytes(sizeof value, '\0');
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

// Deletes the key with its values, so a test starts from a first run.
void DeleteBridgeSettings();
bool BridgeSettingsExist();
DWORD BridgeValueCount();
// Stores raw data of any type, creating the key when needed.
void StoreBridgeValue(const char* name, DWORD type, const void* data, DWORD size);
void StoreBridgeInteger(const char* name, std::int32_t value);
// A value as stored: only a 4-byte REG_DWORD counts, anything else is empty.
std::optional<std::int32_t> StoredBridgeInteger(const char* name);

// What IT sets for the bridge under HKLM\Software\Policies\Velt\Denoptix
// (64-bit view): the key starts empty and is gone again with the object.
class ScopedMachinePolicy {
public:
    ScopedMachinePolicy();
    ~ScopedMachinePolicy();
    ScopedMachinePolicy(const ScopedMachinePolicy&) = delete;
    ScopedMachinePolicy& operator=(const ScopedMachinePolicy&) = delete;

    void Set(const char* name, DWORD type, const void* data, DWORD size) const;
    void Remove(const char* name) const;
};

}  // namespace testing_support
