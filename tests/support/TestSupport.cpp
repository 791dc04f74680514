#include "TestSupport.h"

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

}  // namespace testing_support
