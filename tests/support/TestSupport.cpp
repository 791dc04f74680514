#include "TestSupport.h"

#include <stdexcept>

#include "scanner/ControlContract.h"
#include "scanner/ControlRegistration.h"
#include "win/UniqueResource.h"

namespace testing_support {

namespace {
// Wine looks up classes only in the machine-wide registration, so the
// stand-in is unregistered for the test and registered again afterwards.
void CallRegistrationEntry(const char* entry)
{
    const std::string dll = BinPath("DenoptixScanSim.dll");
    HMODULE module = LoadLibraryA(dll.c_str());
    if (module == nullptr) throw std::runtime_error("cannot load " + dll);
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const auto call = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, entry)));
    const HRESULT hr = call != nullptr ? call() : E_NOTIMPL;
    FreeLibrary(module);
    if (FAILED(hr)) throw std::runtime_error(std::string(entry) + " failed");
}
}  // namespace

MissingControlRegistration::MissingControlRegistration() { CallRegistrationEntry("DllUnregisterServer"); }

MissingControlRegistration::~MissingControlRegistration()
{
    try {
        CallRegistrationEntry("DllRegisterServer");
    } catch (const std::exception& error) {
        ADD_FAILURE() << error.what();
    }
}

namespace {

constexpr REGSAM kOtherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
constexpr char kFolderName[] = "\\Velt Test";

std::string ClassKey() { return std::string("Software\\Classes\\CLSID\\") + scanner::ClsidText(scanner::contract::kControlClsid); }

}  // namespace

OtherBitnessRegistration::OtherBitnessRegistration(const std::string& dll)
{
    // %ProgramFiles% as the programs of the other bitness expand it.
    char root[MAX_PATH] = {};
    const char* variable = sizeof(void*) == 8 ? "ProgramFiles(x86)" : "ProgramW6432";
    if (GetEnvironmentVariableA(variable, root, MAX_PATH) == 0) throw std::runtime_error(std::string(variable) + " is not set");
    folder_ = std::string(root) + kFolderName;
    path_ = folder_ + "\\DenoptixScanSim.dll";
    CreateDirectoryA(folder_.c_str(), nullptr);
    if (!CopyFileA(dll.c_str(), path_.c_str(), FALSE)) throw std::runtime_error("cannot copy " + dll + " to " + path_);
    win::UniqueHkey key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (ClassKey() + "\\InprocServer32").c_str(), 0, nullptr, 0,
                        KEY_WRITE | kOtherView, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot register the control for the other bitness");
    const std::string server = std::string("%ProgramFiles%") + kFolderName + "\\DenoptixScanSim.dll";
    RegSetValueExA(key.get(), nullptr, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                   static_cast<DWORD>(server.size() + 1));
}

OtherBitnessRegistration::~OtherBitnessRegistration()
{
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, (ClassKey() + "\\InprocServer32").c_str(), kOtherView, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, ClassKey().c_str(), kOtherView, 0);
    DeleteFileA(path_.c_str());
    RemoveDirectoryA(folder_.c_str());
}

}  // namespace testing_support
