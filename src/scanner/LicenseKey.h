#pragma once
// The maker's licence key for a control built to demand one at run time, as
// a practice's IT gives it through the machine policy value "LicenseKey"
// (REG_SZ, at most 256 characters). The key is the maker's secret: nothing
// but the control's class factory ever sees it; the trail, the reports and
// the check say only where it came from and how long it is.
#include <windows.h>

#include <cstddef>
#include <string>
#include <utility>

namespace scanner {

inline constexpr char kLicenseKeyPolicyValue[] = "LicenseKey";
inline constexpr std::size_t kLicenseKeyMaxChars = 256;

class LicenseKey {
public:
    LicenseKey() = default;  // none given
    explicit LicenseKey(std::wstring key) : key_(std::move(key)) {}
    LicenseKey(const LicenseKey&) = default;
    LicenseKey(LicenseKey&& other) noexcept : key_(std::move(other.key_)) { other.Wipe(); }
    LicenseKey& operator=(const LicenseKey&) = delete;
    LicenseKey& operator=(LicenseKey&&) = delete;
    // A crash report holds the stacks: a short key kept inside the object
    // itself would be in it.
    ~LicenseKey() { Wipe(); }

    bool Given() const noexcept { return !key_.empty(); }
    // "a licence key from the policy value LicenseKey, 12 characters".
    std::string Description() const;
    const std::wstring& Secret() const noexcept { return key_; }

private:
    void Wipe() noexcept;

    std::wstring key_;
};

// The policy's key when IT set a usable one; a value of another type, empty
// or too long is ignored, and why is said.
struct LicenseChoice {
    LicenseKey key;
    std::string policyIgnored;  // "it is empty", ...; empty when not ignored
};
LicenseChoice ChooseLicenseKey();

// The same, with a line in the trail for an ignored policy value.
LicenseKey LicenseKeyToHandOver();

// What the report of CLASS_E_NOTLICENSED says, and what to do.
std::string NotLicensedAdvice(const LicenseKey& key, bool keyUsed);

}  // namespace scanner
