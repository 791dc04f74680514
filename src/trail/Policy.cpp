#include "trail/Policy.h"

namespace trail {

namespace {
constexpr char kPolicySubkey[] = "Software\\Policies\\Velt\\Denoptix";

// This module sits below win's owners: the key is closed on every path here.
class OpenKey {
public:
    OpenKey() noexcept
    {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPolicySubkey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key_) !=
            ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~OpenKey()
    {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY get() const noexcept { return key_; }

private:
    HKEY key_ = nullptr;
};

// A DWORD policy value, or nothing when it is absent or of another kind.
std::optional<DWORD> ReadPolicyDword(const char* name) noexcept
{
    const auto value = ReadPolicyValue(name, sizeof(DWORD));
    if (!value || value->type != REG_DWORD || value->data.size() != sizeof(DWORD)) return std::nullopt;
    DWORD setting = 0;
    CopyMemory(&setting, value->data.data(), sizeof setting);
    return setting;
}
}  // namespace

std::optional<PolicyValue> ReadPolicyValue(const char* name, DWORD maxBytes) noexcept
{
    try {
        const OpenKey key;
        if (key.get() == nullptr) return std::nullopt;
        PolicyValue value;
        LONG status = RegQueryValueExA(key.get(), name, nullptr, &value.type, nullptr, &value.size);
        if (status == ERROR_SUCCESS && value.size <= maxBytes) {
            value.data.resize(value.size);
            DWORD read = value.size;
            status = RegQueryValueExA(key.get(), name, nullptr, &value.type,
                                      value.data.empty() ? nullptr : value.data.data(), &read);
            // Changed between the two reads: take what is there now, if it still fits.
            if (status == ERROR_SUCCESS) value.data.resize(read);
            value.size = read;
        }
        if (status != ERROR_SUCCESS) return std::nullopt;
        return value;
    } catch (...) {
        return std::nullopt;  // out of memory: as if IT had set nothing
    }
}

bool TrailTurnedOffByPolicy() noexcept
{
    return ReadPolicyDword("Trail") == DWORD{0};
}

bool SeveralBridgesAllowedByPolicy() noexcept
{
    return ReadPolicyDword("SeveralBridges") == DWORD{1};
}

}  // namespace trail
