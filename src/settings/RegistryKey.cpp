#include "settings/RegistryKey.h"

namespace settings {

std::string RelativeKeyPath(std::string_view path)
{
    if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    return std::string(path);
}

std::optional<RegistryKey> RegistryKey::OpenExisting(HKEY root, std::string_view path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, RelativeKeyPath(path).c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return std::nullopt;
    return RegistryKey(key);
}

std::optional<RegistryKey> RegistryKey::OpenOrCreate(HKEY root, std::string_view path)
{
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExA(root, RelativeKeyPath(path).c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) return std::nullopt;
    return RegistryKey(key);
}

std::int32_t RegistryKey::ReadInteger(const char* name) const
{
    BYTE data[4] = {};
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    // Longer data fails here with ERROR_MORE_DATA, an absent value with
    // ERROR_FILE_NOT_FOUND.
    const LONG result = RegQueryValueExA(key_.get(), name, nullptr, &type, data, &size);
    if (result != ERROR_SUCCESS)
        throw RegistryError("Failed to get data for '" + std::string(name) + "': " + win::SystemMessage(result));
    if (type != REG_DWORD) throw RegistryError("Invalid data type for '" + std::string(name) + "'");
    return static_cast<std::int32_t>(data[0] | data[1] << 8 | data[2] << 16 | static_cast<DWORD>(data[3]) << 24);
}

void RegistryKey::WriteInteger(const char* name, std::int32_t value)
{
    const auto data = static_cast<DWORD>(value);
    const LONG result = RegSetValueExA(key_.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                       sizeof data);
    if (result != ERROR_SUCCESS) throw RegistryError("Failed to set data for '" + std::string(name) + "'");
}

}  // namespace settings
