#include "Module.h"

#include <objbase.h>

#include <atomic>
#include <new>

#include "ControlWindow.h"
#include "ScanControl.h"
#include "scanner/ControlContract.h"

namespace sim {

namespace {

HINSTANCE moduleInstance = nullptr;
std::atomic<long> moduleLocks{0};

// The one class factory; its references count as module locks, so the DLL
// stays loaded while a caller holds it.
class ClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override
    {
        LockModule();
        return 2;
    }
    STDMETHODIMP_(ULONG) Release() override
    {
        UnlockModule();
        return 1;
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        try {
            return ScanControl::Create(iid, object);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        lock ? LockModule() : UnlockModule();
        return S_OK;
    }
};

ClassFactory classFactory;

}  // namespace

HINSTANCE ModuleInstance() noexcept
{
    return moduleInstance;
}

void LockModule() noexcept
{
    ++moduleLocks;
}

void UnlockModule() noexcept
{
    --moduleLocks;
}

}  // namespace sim

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH) {
        sim::moduleInstance = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        // A later load may sit at another address, with another procedure.
        UnregisterClassA(sim::kWindowClassName, instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (clsid != scanner::contract::kControlClsid) return CLASS_E_CLASSNOTAVAILABLE;
    return sim::classFactory.QueryInterface(iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return sim::moduleLocks.load() == 0 ? S_OK : S_FALSE;
}
