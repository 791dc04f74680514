#include "scanner/EventSink.h"

#include <oleauto.h>

#include <utility>

#include "win/ErrorReport.h"
#include "scanner/ControlContract.h"
#include "trail/Trail.h"
#include "win/ComPtr.h"
#include "win/Error.h"
#include "win/UniqueResource.h"

namespace scanner {

namespace {

namespace event = contract::event;

// The arguments arrive last first: the first parameter is rgvarg[cArgs - 1].
// Null when the control passed fewer arguments.
const VARIANT* Argument(const DISPPARAMS& parameters, UINT position)
{
    if (!parameters.rgvarg || position >= parameters.cArgs) return nullptr;
    return &parameters.rgvarg[parameters.cArgs - 1 - position];
}

bool IsMissing(const VARIANT* argument)
{
    return !argument || argument->vt == VT_EMPTY || argument->vt == VT_NULL ||
           (argument->vt == VT_ERROR && argument->scode == DISP_E_PARAMNOTFOUND);
}

// By-reference arguments (VT_BYREF|VT_I2, VT_VARIANT|VT_BYREF, ...) are
// followed to their value, then coerced to the type the event declares.
void ReadAs(const VARIANT& argument, VARTYPE type, win::UniqueVariant& value)
{
    // MinGW declares the source without the const the Windows SDK gives it.
    win::ThrowIfFailed(VariantCopyInd(value.get(), const_cast<VARIANT*>(&argument)));
    if (value.get()->vt != type)
        win::ThrowIfFailed(VariantChangeType(value.get(), value.get(), 0, type));
}

short ShortArgument(const DISPPARAMS& parameters, UINT position)
{
    const VARIANT* argument = Argument(parameters, position);
    if (IsMissing(argument)) throw win::Error(win::SystemMessage(static_cast<DWORD>(DISP_E_PARAMNOTFOUND)));
    win::UniqueVariant value;
    ReadAs(*argument, VT_I2, value);
    return value.get()->iVal;
}

// The name as the control passed it, read in place: a copy of a null BSTR
// (VariantCopyInd) can come back as an empty string, and null must stay null.
const wchar_t* NameArgument(const DISPPARAMS& parameters, UINT position, win::UniqueVariant& coerced)
{
    const VARIANT* argument = Argument(parameters, position);
    if (argument && argument->vt == (VT_VARIANT | VT_BYREF)) argument = argument->pvarVal;
    if (IsMissing(argument)) return nullptr;
    if (argument->vt == VT_BSTR) return argument->bstrVal;
    if (argument->vt == (VT_BSTR | VT_BYREF)) return argument->pbstrVal ? *argument->pbstrVal : nullptr;
    ReadAs(*argument, VT_BSTR, coerced);
    return coerced.get()->bstrVal;
}

}  // namespace

EventSink::EventSink(ScanEvents events) : events_(std::move(events)) {}

HRESULT EventSink::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == contract::kEventsIid) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT EventSink::GetTypeInfoCount(UINT* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                          EXCEPINFO*, UINT*)
{
    if (id < event::OnControlStateChange || id > event::OnMMResult) return DISP_E_MEMBERNOTFOUND;
    if (result) VariantInit(result);
    // A handler may tear down the control, and with it the control's
    // reference to this sink, while the event is still being delivered.
    const win::ComPtr<EventSink> keepAlive(this);
    try {
        const DISPPARAMS noArguments{};
        Deliver(id, parameters ? *parameters : noArguments);
    } catch (...) {
        win::ReportCurrentException();
    }
    return S_OK;
}

void EventSink::Deliver(DISPID id, const DISPPARAMS& parameters)
{
    switch (id) {
    case event::OnControlStateChange:
        if (events_.onControlStateChange) events_.onControlStateChange(ShortArgument(parameters, 0));
        break;
    case event::OnEndNewImageSet:
        if (events_.onEndNewImageSet) events_.onEndNewImageSet();
        break;
    case event::OnStartingScan:
        if (events_.onStartingScan) events_.onStartingScan();
        break;
    case event::OnNewImage: {
        if (!events_.onNewImage) break;
        const short location = ShortArgument(parameters, 0);
        win::UniqueVariant coerced;
        events_.onNewImage(location, NameArgument(parameters, 1, coerced));
        break;
    }
    default:
        // The other six events are bound to nothing, but support wants to see
        // them: OnFailureToFindScanner is the control's word for a scanner
        // switched off or unplugged. The name only: OnNewTempFile carries a
        // file name.
        trail::Write(std::string("control event not handled: ") + event::Name(id));
        break;
    }
}

}  // namespace scanner
