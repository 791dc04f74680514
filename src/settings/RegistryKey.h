#pragma once
// A registry key held open for one load or one save, reading and writing
// 4-byte integers. Every failure of a read or write is a RegistryError, so
// the settings store can tell them from the scanner control's errors.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "win/Error.h"
#include "win/UniqueResource.h"

namespace settings {

class RegistryError : public win::Error {
public:
    using win::Error::Error;
};

// A path written from the root ("\Software\...") loses its leading
// backslash, which the system would reject.
std::string RelativeKeyPath(std::string_view path);

class RegistryKey {
public:
    // Opens root\path with full access, creating nothing. Empty when the key
    // is absent or full access is refused.
    static std::optional<RegistryKey> OpenExisting(HKEY root, std::string_view path);
    // Opens root\path with full access, creating any missing part
    // (non-volatile, default security). Empty when that fails.
    static std::optional<RegistryKey> OpenOrCreate(HKEY root, std::string_view path);

    // Reads a REG_DWORD through a 4-byte buffer. Throws RegistryError when
    // the value is absent, holds more than 4 bytes or has another type. A
    // REG_DWORD shorter than 4 bytes is read as what it holds, zero-extended:
    // the system accepts it, and only longer data is refused.
    std::int32_t ReadInteger(const char* name) const;
    // Stores 4 bytes as REG_DWORD; throws RegistryError
    // "Failed to set data for '<name>'" when the system refuses.
    void WriteInteger(const char* name, std::int32_t value);

private:
    explicit RegistryKey(HKEY key) noexcept : key_(key) {}
    win::UniqueHkey key_;  // closed without a flush: the system writes it back itself
};

}  // namespace settings
