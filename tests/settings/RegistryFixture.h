#pragma once
// The settings tests' only registry key, HKCU\Software\Velt\Denoptix in the
// test prefix: each test starts without it and leaves nothing else touched.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace settingstest {

inline constexpr char kKeyPath[] = "Software\\Velt\\Denoptix";

bool TestKeyExists();
// Stores raw data of any type, creating the key when needed.
void StoreRaw(const char* name, DWORD type, const void* data, DWORD size);
void StoreInteger(const char* name, std::int32_t value);
// A value as stored: only a 4-byte REG_DWORD counts, anything else is empty.
std::optional<std::int32_t> StoredInteger(const char* name);
DWORD StoredValueCount();

}  // namespace settingstest
