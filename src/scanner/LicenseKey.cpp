#include "scanner/LicenseKey.h"

#include <objbase.h>
#include <ocidl.h>

#include <string_view>

#include "trail/Policy.h"
#include "trail/Trail.h"
#include "win/ComPtr.h"
#include "win/Strings.h"
#include "win/UniqueResource.h"

namespace scanner {

namespace {

constexpr char kGuideSection[] = "see the integrator's guide, \"What Windows adds on a practice's computers\"";

std::string Characters(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " character" : " characters");
}

// The value's text without its terminating zeros.
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
    const auto value = trail::ReadPolicyValue(kLicenseKeyPolicyValue, kLicenseKeyMaxChars + 2);
    if (!value) return {};
    std::string unusable = Unusable(*value);
    if (!unusable.empty()) return {LicenseKey(), std::move(unusable)};
    return {LicenseKey(win::ToWide(TextOf(*value))), {}};
}

LicenseKey LicenseKeyToHandOver()
{
    LicenseChoice choice = ChooseLicenseKey();
    if (!choice.policyIgnored.empty())
        trail::Write(std::string("control licence: policy value ") + kLicenseKeyPolicyValue + " ignored, " +
                     choice.policyIgnored);
    return std::move(choice.key);
}

HRESULT CreateControlObject(const CLSID& control, const LicenseKey& key, REFIID iid, void** object, bool& keyUsed)
{
    keyUsed = false;
    if (key.Given()) {
        win::ComPtr<IClassFactory2> factory;
        LICINFO info{};
        info.cbLicInfo = sizeof info;
        if (SUCCEEDED(CoGetClassObject(control, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory2,
                                       factory.put_void())) &&
            SUCCEEDED(factory->GetLicInfo(&info)) && !info.fLicVerified) {
            keyUsed = true;
            const win::UniqueBstr secret(
                SysAllocStringLen(key.Secret().data(), static_cast<UINT>(key.Secret().size())));
            if (!secret) return E_OUTOFMEMORY;
            const HRESULT created = factory->CreateInstanceLic(nullptr, nullptr, iid, secret.get(), object);
            SecureZeroMemory(secret.get(), SysStringByteLen(secret.get()));
            return created;
        }
    }
    return CoCreateInstance(control, nullptr, CLSCTX_INPROC_SERVER, iid, object);
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
