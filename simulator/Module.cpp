#include "Module.h"

#include <objbase.h>
#include <ocidl.h>

#include <atomic>
#include <new>
#include <string>

#include "ControlWindow.h"
#include "ScanControl.h"
#include "scanner/ControlContract.h"

namespace sim {

namespace {

HINSTANCE moduleInstance = nullptr;
std::atomic<long> moduleLocks{0};

// The key a licensed build of the control demands, from
// DENOPTIX_SIM_LICENSE_KEY; empty: a control that needs none.
std::wstring DemandedKey()
{
    wchar_t key[512] = {};
    const DWORD length = GetEnvironmentVariableW(L"DENOPTIX_SIM_LICENSE_KEY", key, 512);
    return length == 0 || length >= 512 ? std::wstring() : std::wstring(key, length);
}

// The one class factory; its references count as module locks, so the DLL
// stays loaded while a caller holds it. It offers IClassFactory2 as every
// MFC control's factory does, with MFC's rules: without a licence file the
// licence is not verified, a plain creation is refused, and only the
// maker's key opens it; a control that needs no licence is verified, and
// refuses any key, since it has none to compare with.
class ClassFactory final : public IClassFactory2 {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory && iid != IID_IClassFactory2) return E_NOINTERFACE;
        *object = static_cast<IClassFactory2*>(this);
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
        if (!DemandedKey().empty()) return CLASS_E_NOTLICENSED;
        return Create(outer, iid, object);
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        lock ? LockModule() : UnlockModule();
        return S_OK;
    }
    STDMETHODIMP GetLicInfo(LICINFO* info) override
    {
        if (!info) return E_POINTER;
        const bool licensed = !DemandedKey().empty();
        info->fRuntimeKeyAvail = licensed ? TRUE : FALSE;
        info->fLicVerified = licensed ? FALSE : TRUE;
        return S_OK;
    }
    STDMETHODIMP RequestLicKey(DWORD, BSTR* key) override
    {
        if (!key) return E_POINTER;
        *key = nullptr;
        return CLASS_E_NOTLICENSED;  // only a machine with the licence file may hand the key on
    }
    STDMETHODIMP CreateInstanceLic(IUnknown* outer, IUnknown*, REFIID iid, BSTR key, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        const std::wstring demanded = DemandedKey();
        if (key == nullptr || demanded.empty() || demanded != std::wstring(key, SysStringLen(key)))
            return CLASS_E_NOTLICENSED;
        return Create(outer, iid, object);
    }

private:
    static HRESULT Create(IUnknown* outer, REFIID iid, void** object)
    {
        if (outer) return CLASS_E_NOAGGREGATION;
        try {
            return ScanControl::Create(iid, object);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
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
