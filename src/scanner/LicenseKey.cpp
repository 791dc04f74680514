#include "scanner/LicenseKey.h"

#include <string_view>
#include <vector>

#include "trail/Policy.h"
#include "trail/Trail.h"
#include "win/Error.h"
#include "win/UniqueResource.h"

namespace scanner {

namespace {

constexpr char kGuideSection[] = "see the integrator's guide, \"What Windows adds on a practice's computers\"";

std::string Characters(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " character" : " characters");
}

// The value's text without its terminating zeros: a view of the value's own
// bytes, so wiping those wipes it.
std::string_view TextOf(const trail::PolicyValue& value)
{
    std::string_view text(reinterpret_cast<const char*>(value.data.data()), value.data.size());
    while (!text.empty() && text.back() == '\0') text.remove_suffix(1);
    return text;
}

std::string Unusable(const trail::PolicyValue& value)
{
    if (value.type != REG_SZ) return "it is of type " + std::to_string(value.type) + ", not REG_SZ";
    // Too long to be read whole: its size says it all.
    if (value.data.size() < value.size) return "it is longer than " + Characters(kLicenseKeyMaxChars);
    const std::string_view text = TextOf(value);
    if (text.empty()) return "it is empty";
    if (text.size() > kLicenseKeyMaxChars)
        return "its " + Characters(text.size()) + " are more than " + Characters(kLicenseKeyMaxChars);
    return {};
}

void WipeBytes(std::vector<unsigned char>& bytes) noexcept
{
    bytes.resize(bytes.capacity());  // within the capacity: never allocates
    SecureZeroMemory(bytes.data(), bytes.size());
}

// The key in UTF-16, in storage reserved for the longest one: never inside
// a string's own small buffer, so every move hands the storage on and no
// copy of the key is left behind in a temporary.
std::wstring WideKey(std::string_view text)
{
    std::wstring wide;
    wide.reserve(kLicenseKeyMaxChars + 1);
    // No code page gives more UTF-16 units than it has bytes.
    wide.resize(text.size());
    const int converted = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                              static_cast<int>(wide.size()));
    if (converted <= 0) {
        SecureZeroMemory(wide.data(), wide.size() * sizeof(wchar_t));
        win::ThrowLastError();
    }
    wide.resize(static_cast<std::size_t>(converted));
    return wide;
}

}  // namespace

void LicenseKey::Wipe() noexcept
{
    // The whole buffer, past the key's end too: a short key lives in the
    // object's own storage, whatever its length says now.
    key_.resize(key_.capacity());
    SecureZeroMemory(key_.data(), key_.size() * sizeof(wchar_t));
    key_.clear();
}

std::string LicenseKey::Description() const
{
    return std::string("a licence key from the policy value ") + kLicenseKeyPolicyValue + ", " +
           Characters(key_.size());
}

LicenseChoice ChooseLicenseKey()
{
    // Room for the longest key and its zero, and a little more to tell a key
    // that is too long from one that fits.
    auto value = trail::ReadPolicyValue(kLicenseKeyPolicyValue, kLicenseKeyMaxChars + 2);
    if (!value) return {};
    // Whether the key is taken, ignored or the conversion throws, its bytes go.
    const win::ScopeExit wipe([&value]() noexcept { WipeBytes(value->data); });
    std::string unusable = Unusable(*value);
    if (!unusable.empty()) return {LicenseKey(), std::move(unusable)};
    return {LicenseKey(WideKey(TextOf(*value))), {}};
}

LicenseKey LicenseKeyToHandOver()
{
    LicenseChoice choice = ChooseLicenseKey();
    if (!choice.policyIgnored.empty())
        trail::Write(std::string("control licence: policy value ") + kLicenseKeyPolicyValue + " ignored, " +
                     choice.policyIgnored);
    return std::move(choice.key);
}

std::string NotLicensedAdvice(const LicenseKey& key, bool keyUsed)
{
    const std::string where = std::string("the policy value ") + kLicenseKeyPolicyValue + " under " +
                              trail::kPolicyKeyPath;
    if (keyUsed)
        return "The scanner control is not licensed on this computer, and it refused " + key.Description() +
               ": correct that value (" + where + "); " + kGuideSection + ".";
    if (key.Given())
        return "The scanner control is not licensed on this computer, and its class factory takes no licence key, "
               "so " + key.Description() + " could not be given to it; " + kGuideSection + ".";
    return "The scanner control is not licensed on this computer. Its maker's licence key can be given to Denoptix "
           "through " + where + "; " + kGuideSection + ".";
}

}  // namespace scanner
