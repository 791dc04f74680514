// Self-registration: the CLSID key with its in-process server and "Control"
// marker, and a ProgID of our own. Unregistering removes exactly these two
// trees.
#include <windows.h>
#include <objbase.h>

#include <string>

#include "Module.h"
#include "scanner/ControlContract.h"
#include "win/Error.h"
#include "win/UniqueResource.h"

namespace {

constexpr char kProgId[] = "DenoptixScanSim.Control";
constexpr char kDescription[] = "DenoptixScanSim Control";

std::string ClsidText()
{
    wchar_t wide[64] = {};
    StringFromGUID2(scanner::contract::kControlClsid, wide, 64);
    std::string text;
    for (const wchar_t* c = wide; *c; ++c) text += static_cast<char>(*c);  // GUID text is ASCII
    return text;
}

std::string ModulePath()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(sim::ModuleInstance(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) win::ThrowLastError("GetModuleFileName");
    return std::string(path, length);
}

void CheckRegistry(LONG result)
{
    if (result != ERROR_SUCCESS) throw win::Error(win::SystemMessage(static_cast<DWORD>(result)));
}

// Creates HKEY_CLASSES_ROOT\<key> and sets one value (the default one when
// `name` is null).
void SetClassesValue(const std::string& key, const char* name, const std::string& value)
{
    win::UniqueHkey handle;
    CheckRegistry(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_SET_VALUE, nullptr, handle.put(), nullptr));
    CheckRegistry(RegSetValueExA(handle.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1)));
}

void CreateClassesKey(const std::string& key)
{
    win::UniqueHkey handle;
    CheckRegistry(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_SET_VALUE, nullptr, handle.put(), nullptr));
}

// A tree that is already gone counts as removed.
LONG DeleteClassesTree(const std::string& key)
{
    const LONG result = RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

HRESULT AsHresult(LONG result)
{
    return result == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(result));
}

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    try {
        const std::string clsidKey = "CLSID\\" + ClsidText();
        SetClassesValue(clsidKey, nullptr, kDescription);
        SetClassesValue(clsidKey + "\\InprocServer32", nullptr, ModulePath());
        SetClassesValue(clsidKey + "\\InprocServer32", "ThreadingModel", "Apartment");
        CreateClassesKey(clsidKey + "\\Control");
        SetClassesValue(clsidKey + "\\ProgID", nullptr, kProgId);
        SetClassesValue(kProgId, nullptr, kDescription);
        SetClassesValue(std::string(kProgId) + "\\CLSID", nullptr, ClsidText());
        return S_OK;
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    try {
        const LONG clsidResult = DeleteClassesTree("CLSID\\" + ClsidText());
        const LONG progIdResult = DeleteClassesTree(kProgId);
        return AsHresult(clsidResult != ERROR_SUCCESS ? clsidResult : progIdResult);
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}
