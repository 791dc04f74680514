#include "BridgeSettings.h"

#include <stdexcept>
#include <string>

#include "win/UniqueResource.h"

namespace testing_support {

namespace {
win::UniqueHkey OpenKey()
{
    win::UniqueHkey key;
    RegOpenKeyExA(HKEY_CURRENT_USER, kBridgeSettingsKey, 0, KEY_READ, key.put());
    return key;
}
}  // namespace

void DeleteBridgeSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, kBridgeSettingsKey); }

bool BridgeSettingsExist() { return static_cast<bool>(OpenKey()); }

DWORD BridgeValueCount()
{
    DWORD count = 0;
    if (const win::UniqueHkey key = OpenKey())
        RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                         nullptr, nullptr);
    return count;
}

void StoreBridgeValue(const char* name, DWORD type, const void* data, DWORD size)
{
    win::UniqueHkey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kBridgeSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS ||
        RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        throw std::runtime_error(std::string("cannot store ") + name);
}

void StoreBridgeInteger(const char* name, std::int32_t value) { StoreBridgeValue(name, REG_DWORD, &value, sizeof value); }

std::optional<std::int32_t> StoredBridgeInteger(const char* name)
{
    std::int32_t value = 0;
    DWORD size = sizeof value;
    DWORD type = REG_NONE;
    if (RegGetValueA(HKEY_CURRENT_USER, kBridgeSettingsKey, name, RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

namespace {
constexpr char kPolicyKey[] = "Software\\Policies\\Velt\\Denoptix";

void DeletePolicyKey() { RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kPolicyKey, KEY_WOW64_64KEY, 0); }
}  // namespace

ScopedMachinePolicy::ScopedMachinePolicy() { DeletePolicyKey(); }

ScopedMachinePolicy::~ScopedMachinePolicy() { DeletePolicyKey(); }

void ScopedMachinePolicy::Set(const char* name, DWORD type, const void* data, DWORD size) const
{
    win::UniqueHkey key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPolicyKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS ||
        RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        throw std::runtime_error(std::string("cannot set the policy value ") + name);
}

void ScopedMachinePolicy::Remove(const char* name) const
{
    win::UniqueHkey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPolicyKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, key.put()) == ERROR_SUCCESS)
        RegDeleteValueA(key.get(), name);
}

}  // namespace testing_support
