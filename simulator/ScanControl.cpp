// The control's identity: creation, interfaces and the dispatch interface
// with its eight properties.
#include "ScanControl.h"

#include <cstdlib>
#include <new>

#include "Module.h"
#include "scanner/ControlContract.h"

namespace sim {

namespace property = scanner::contract::property;

namespace {

constexpr wchar_t kExceptionSource[] = L"DenoptixScanSim.Control";

std::string Narrow(const wchar_t* name)
{
    return ToUtf8(name);
}

}  // namespace

HRESULT ScanControl::Create(REFIID iid, void** object)
{
    auto* control = new ScanControl();
    HRESULT hr = S_OK;
    try {
        control->EnsureWindow();
        hr = control->QueryInterface(iid, object);
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    } catch (...) {
        hr = E_FAIL;
    }
    control->Release();
    return hr;
}

ScanControl::ScanControl() : config_(ConfigFromEnvironment()), events_(*this), window_(*this)
{
    log_.SetPath(config_.logPath);
    ApplyInitialSettings();
    LockModule();
}

ScanControl::~ScanControl()
{
    // The window calls back into this object: it must go first.
    window_.Destroy();
    UnlockModule();
}

// As MFC's COleControl starts: Enabled true, until a stored state says otherwise.
void ScanControl::ApplyInitialSettings()
{
    properties_.SetBool(property::Enabled, true);
    for (const auto& [name, value] : config_.initialOptions) {
        const PropertyInfo* info = FindProperty(name);
        if (!info) continue;
        win::UniqueVariant text;
        text.get()->vt = VT_BSTR;
        text.get()->bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        properties_.Put(info->id, *text.get());  // an option that does not coerce is left out
    }
    ApplyInitialPower();
}

// A scanner already powered on, whatever state the control was given.
void ScanControl::ApplyInitialPower()
{
    if (!config_.initialEnabled) return;
    SetEnabledQuietly(true);
    properties_.SetShort(property::ControlState, 6);
}

// Enabled as MFC's stock property sets it: the control's window follows it,
// so a disabled control takes no click and no focus.
void ScanControl::SetEnabledQuietly(bool enabled)
{
    properties_.SetBool(property::Enabled, enabled);
    if (window_.Handle()) EnableWindow(window_.Handle(), enabled ? TRUE : FALSE);
}

STDMETHODIMP ScanControl::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == scanner::contract::kDispatchIid)
        *object = static_cast<IDispatch*>(this);
    else if (iid == IID_IConnectionPointContainer)
        *object = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
        *object = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IOleObject)
        *object = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        *object = static_cast<IOleInPlaceObject*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP ScanControl::GetTypeInfoCount(UINT* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP ScanControl::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

STDMETHODIMP ScanControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids) return E_POINTER;
    if (count == 0) return S_OK;
    // The properties take no parameters, so any further name is unknown.
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    const PropertyInfo* info = names[0] ? FindProperty(std::wstring_view(names[0])) : nullptr;
    if (info) ids[0] = info->id;
    return info && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP ScanControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* exception, UINT* argError)
{
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    const PropertyInfo* info = FindProperty(id);
    if (!info) return DISP_E_MEMBERNOTFOUND;
    if (!params) return E_INVALIDARG;
    try {
        const win::ComPtr<IDispatch> keepAlive(this);  // a sink may release us meanwhile
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (!info->writable) return DISP_E_MEMBERNOTFOUND;
            if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
            if (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
                return DISP_E_PARAMNOTFOUND;
            const HRESULT hr = PutProperty(*info, params->rgvarg[0], exception);
            if ((hr == DISP_E_TYPEMISMATCH || hr == DISP_E_OVERFLOW) && argError) *argError = 0;
            return hr;
        }
        if (flags & DISPATCH_PROPERTYGET) {
            if (params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
            return GetProperty(*info, result, exception);
        }
        return DISP_E_MEMBERNOTFOUND;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT ScanControl::GetProperty(const PropertyInfo& info, VARIANT* result, EXCEPINFO* exception)
{
    if (const HRESULT failure = InjectedFailureFor(false, info, exception); FAILED(failure)) return failure;
    if (result) {
        VariantInit(result);
        const HRESULT hr = properties_.Get(info.id, result);
        if (FAILED(hr)) return hr;
    }
    log_.Write("get " + Narrow(info.name) + " = " + properties_.ForLog(info.id));
    return S_OK;
}

HRESULT ScanControl::PutProperty(const PropertyInfo& info, const VARIANT& value, EXCEPINFO* exception)
{
    if (const HRESULT failure = InjectedFailureFor(true, info, exception); FAILED(failure)) return failure;
    const bool wasEnabled = properties_.Bool(property::Enabled);
    const HRESULT hr = properties_.Put(info.id, value);
    if (FAILED(hr)) return hr;
    log_.Write("put " + Narrow(info.name) + " = " + properties_.ForLog(info.id));

    // A put of the value Enabled already has changes nothing, as for MFC's
    // stock property.
    if (info.id == property::Enabled && properties_.Bool(property::Enabled) != wasEnabled) {
        const bool enabled = properties_.Bool(property::Enabled);
        SetEnabledQuietly(enabled);
        dirty_ = true;
        if (enabled) PowerOn();
        else PowerOff();
    }
    return S_OK;
}

HRESULT ScanControl::InjectedFailureFor(bool onPut, const PropertyInfo& info, EXCEPINFO* exception)
{
    for (const auto& failure : config_.failures) {
        if (failure.onPut != onPut || !SameName(failure.property, info.name)) continue;
        // "stall <ms>": the call does not return for that long, then succeeds,
        // as a control waiting on its hardware would.
        if (failure.description.rfind(L"stall ", 0) == 0) {
            log_.Write(std::string(onPut ? "stall put " : "stall get ") + Narrow(info.name));
            Sleep(static_cast<DWORD>(std::wcstoul(failure.description.c_str() + 6, nullptr, 10)));
            continue;
        }
        log_.Write(std::string(onPut ? "fail put " : "fail get ") + Narrow(info.name) + ": " +
                   ToUtf8(failure.description));
        if (exception) {
            *exception = EXCEPINFO{};
            exception->bstrSource = SysAllocString(kExceptionSource);
            exception->bstrDescription = SysAllocStringLen(failure.description.data(),
                                                           static_cast<UINT>(failure.description.size()));
            exception->scode = E_FAIL;
        }
        return DISP_E_EXCEPTION;
    }
    return S_OK;
}

STDMETHODIMP ScanControl::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    if (points) *points = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ScanControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    if (!point) return E_POINTER;
    *point = nullptr;
    if (iid != scanner::contract::kEventsIid) return CONNECT_E_NOCONNECTION;
    *point = &events_;
    events_.AddRef();
    return S_OK;
}

}  // namespace sim
