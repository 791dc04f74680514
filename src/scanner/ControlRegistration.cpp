#include "scanner/ControlRegistration.h"

#include <objbase.h>

#include <algorithm>
#include <iterator>
#include <optional>

#include "win/Error.h"
#include "win/Strings.h"
#include "win/UniqueResource.h"

namespace scanner {

namespace {

const char* BitnessName(bool is64Bit) { return is64Bit ? "64-bit" : "32-bit"; }

// The server a view names; nothing when the view holds none. `view` is 0
// for this program's own view, or KEY_WOW64_32KEY/KEY_WOW64_64KEY.
std::optional<std::string> ServerInView(const std::string& key, REGSAM view)
{
    win::UniqueHkey opened;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE | view, opened.put()) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(opened.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::string server(size, '\0');
    if (size > 0 && RegQueryValueExA(opened.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(server.data()),
                                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    server.resize(std::min<std::size_t>(size, server.size()));
    while (!server.empty() && server.back() == '\0') server.pop_back();
    return server;
}

}  // namespace

std::string ClsidText(const CLSID& control)
{
    wchar_t text[40] = {};
    StringFromGUID2(control, text, static_cast<int>(std::size(text)));
    return win::ToNarrow(text);
}

ControlRegistration FindControlRegistration(const CLSID& control)
{
    const std::string key = "CLSID\\" + ClsidText(control) + "\\InprocServer32";
    const auto thisBuild = ServerInView(key, 0);
    const auto otherBuild = ServerInView(key, kThisBuildIs64Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY);
    return {thisBuild.has_value(), otherBuild.has_value(), thisBuild.value_or(""), otherBuild.value_or("")};
}

std::string DescribeControl(const CLSID& control, const ControlRegistration& registration)
{
    const bool for64 = registration.For64BitPrograms();
    const bool for32 = registration.For32BitPrograms();
    const char* where = for32 && for64 ? "registered for 32- and 64-bit programs"
                        : for32        ? "registered for 32-bit programs"
                        : for64        ? "registered for 64-bit programs"
                                       : "not registered";
    return ClsidText(control) + ", " + where + ", this build " + BitnessName(kThisBuildIs64Bit);
}

std::string BitnessMismatch(const ControlRegistration& registration)
{
    if (registration.forThisBuild || !registration.forOtherBuild) return {};
    const char* controlBits = BitnessName(!kThisBuildIs64Bit);
    const char* ourBits = BitnessName(kThisBuildIs64Bit);
    const char* where = kThisBuildIs64Bit ? "the standard one, installed under \"Program Files (x86)\""
                                          : "in the x64 folder of the release";
    return std::string("The scanner control is installed for ") + controlBits +
           " programs, but this Denoptix.exe is the " + ourBits + " build, which cannot use it. Use the " +
           controlBits + " Denoptix.exe (" + where + ") instead.";
}

std::string ControlCreationFailure(HRESULT failure, const ControlRegistration& registration)
{
    std::string systemText = win::SystemMessage(static_cast<DWORD>(failure));
    const std::string mismatch = BitnessMismatch(registration);
    return mismatch.empty() ? systemText : mismatch + "\n\n" + systemText;
}

}  // namespace scanner
