#include "RegistryFixture.h"

#include <stdexcept>

#include "win/UniqueResource.h"

namespace settingstest {

namespace {
win::UniqueHkey OpenTestKey()
{
    win::UniqueHkey key;
    RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, key.put());
    return key;
}
}  // namespace

bool TestKeyExists() { return static_cast<bool>(OpenTestKey()); }

void StoreRaw(const char* name, DWORD type, const void* data, DWORD size)
{
    win::UniqueHkey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) !=
            ERROR_SUCCESS ||
        RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        throw std::runtime_error(std::string("Cannot store ") + name);
}

void StoreInteger(const char* name, std::int32_t value) { StoreRaw(name, REG_DWORD, &value, sizeof value); }

std::optional<std::int32_t> StoredInteger(const char* name)
{
    std::int32_t value = 0;
    DWORD size = sizeof value;
    DWORD type = REG_NONE;
    win::UniqueHkey key = OpenTestKey();
    if (!key || RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                    ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

DWORD StoredValueCount()
{
    DWORD count = 0;
    win::UniqueHkey key = OpenTestKey();
    if (key) RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                              nullptr, nullptr, nullptr);
    return count;
}

}  // namespace settingstest
