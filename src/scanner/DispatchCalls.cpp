#include "scanner/DispatchCalls.h"

#include <oleauto.h>

#include "trail/HangWatch.h"
#include "win/Error.h"
#include "win/Strings.h"

namespace scanner::dispatch {

namespace {

// MinGW declares the source of VariantChangeType without the const the
// Windows SDK gives it; the call never writes to it.
HRESULT Coerce(VARIANT& destination, const VARIANT& source, VARTYPE type)
{
    return VariantChangeType(&destination, const_cast<VARIANT*>(&source), 0, type);
}

// Null and empty BSTRs alike give the empty string; text stops at the first NUL.
std::string NarrowFromBstr(BSTR text) { return text ? win::ToNarrow(text) : std::string(); }

void CheckInvoke(HRESULT hr, EXCEPINFO& info)
{
    if (FAILED(hr)) throw win::Error(InvokeFailureMessage(hr, info));
}

}  // namespace

std::string InvokeFailureMessage(HRESULT hr, EXCEPINFO& info)
{
    // The object may leave the strings for us to fill in only when they are wanted.
    if (hr == DISP_E_EXCEPTION && info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    const win::UniqueBstr source(info.bstrSource);
    const win::UniqueBstr description(info.bstrDescription);
    const win::UniqueBstr helpFile(info.bstrHelpFile);
    info.bstrSource = info.bstrDescription = info.bstrHelpFile = nullptr;
    if (hr != DISP_E_EXCEPTION) return win::SystemMessage(static_cast<DWORD>(hr));

    std::string text = NarrowFromBstr(description.get());
    if (!text.empty()) return text;
    // Without a description the object's own error code says more than the
    // generic "Exception occurred".
    if (FAILED(info.scode)) return win::SystemMessage(static_cast<DWORD>(info.scode));
    return win::SystemMessage(static_cast<DWORD>(hr));
}

void GetProperty(IDispatch* object, DISPID id, win::UniqueVariant& result)
{
    DISPPARAMS noArguments{};
    EXCEPINFO info{};
    UINT argumentError = 0;
    const trail::CallInProgress call("get", id);
    CheckInvoke(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                               &noArguments, result.put(), &info, &argumentError),
                info);
}

void PutProperty(IDispatch* object, DISPID id, const VARIANT& value)
{
    DISPID namedPut = DISPID_PROPERTYPUT;
    VARIANT argument = value;  // a shallow copy: Invoke does not take ownership
    DISPPARAMS parameters{&argument, &namedPut, 1, 1};
    EXCEPINFO info{};
    UINT argumentError = 0;
    const trail::CallInProgress call("put", id);
    CheckInvoke(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                               &parameters, nullptr, &info, &argumentError),
                info);
}

bool BoolFromVariant(const VARIANT& value)
{
    if (value.vt == VT_BOOL) return value.boolVal != VARIANT_FALSE;
    win::UniqueVariant coerced;
    win::ThrowIfFailed(Coerce(*coerced.get(), value, VT_BOOL));
    return coerced.get()->boolVal != VARIANT_FALSE;
}

short ShortFromVariant(const VARIANT& value)
{
    if (value.vt == VT_I2) return value.iVal;
    // A wider answer is cut to its low 16 bits rather than rejected.
    win::UniqueVariant coerced;
    win::ThrowIfFailed(Coerce(*coerced.get(), value, VT_I4));
    return static_cast<short>(static_cast<unsigned short>(coerced.get()->lVal & 0xFFFF));
}

bool GetBool(IDispatch* object, DISPID id)
{
    win::UniqueVariant value;
    GetProperty(object, id, value);
    return BoolFromVariant(*value.get());
}

short GetShort(IDispatch* object, DISPID id)
{
    win::UniqueVariant value;
    GetProperty(object, id, value);
    return ShortFromVariant(*value.get());
}

void PutBool(IDispatch* object, DISPID id, bool value)
{
    VARIANT argument{};
    argument.vt = VT_BOOL;
    argument.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    PutProperty(object, id, argument);
}

void PutShort(IDispatch* object, DISPID id, short value)
{
    VARIANT argument{};
    argument.vt = VT_I2;
    argument.iVal = value;
    PutProperty(object, id, argument);
}

void PutString(IDispatch* object, DISPID id, std::string_view value)
{
    const std::wstring wide = win::ToWide(value);
    win::UniqueVariant argument;
    argument.get()->vt = VT_BSTR;
    argument.get()->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!argument.get()->bstrVal) win::ThrowIfFailed(E_OUTOFMEMORY);
    PutProperty(object, id, *argument.get());
}

}  // namespace scanner::dispatch
