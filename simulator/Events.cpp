#include "Events.h"

#include <new>

#include "scanner/ControlContract.h"

namespace sim {

namespace event = scanner::contract::event;

const std::vector<EventInfo>& AllEvents()
{
    static const std::vector<EventInfo> events{
        {event::OnControlStateChange, L"OnControlStateChange", {ArgKind::Short}},
        {event::OnStartNewImageSet, L"OnStartNewImageSet", {}},
        {event::OnEndNewImageSet, L"OnEndNewImageSet", {}},
        {event::OnEndingScan, L"OnEndingScan", {}},
        {event::OnStartingScan, L"OnStartingScan", {}},
        {event::OnNewImage, L"OnNewImage", {ArgKind::Short, ArgKind::Text}},
        {event::OnFailureToFindScanner, L"OnFailureToFindScanner", {}},
        {event::OnNewTempFile, L"OnNewTempFile", {ArgKind::Text}},
        {event::OnHelpRequested, L"OnHelpRequested", {}},
        {event::OnMMResult, L"OnMMResult", {ArgKind::Long}},
    };
    return events;
}

const EventInfo* FindEvent(DISPID id)
{
    for (const auto& info : AllEvents())
        if (info.id == id) return &info;
    return nullptr;
}

const EventInfo* FindEvent(std::wstring_view name)
{
    for (const auto& info : AllEvents())
        if (SameName(info.name, name)) return &info;
    return nullptr;
}

EventArgs::~EventArgs()
{
    for (auto& value : values_) VariantClear(&value);
}

namespace {
VARIANT EmptyOfType(VARTYPE type)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = type;
    return v;
}
}  // namespace

EventArgs& EventArgs::Short(short value)
{
    VARIANT v = EmptyOfType(VT_I2);
    v.iVal = value;
    values_.push_back(v);
    return *this;
}

EventArgs& EventArgs::Long(long value)
{
    VARIANT v = EmptyOfType(VT_I4);
    v.lVal = value;
    values_.push_back(v);
    return *this;
}

EventArgs& EventArgs::Text(const ReportedName& value)
{
    VARIANT v = EmptyOfType(VT_BSTR);
    v.bstrVal = nullptr;
    if (value) {
        v.bstrVal = SysAllocStringLen(value->data(), static_cast<UINT>(value->size()));
        if (!v.bstrVal) throw std::bad_alloc();
    }
    values_.push_back(v);
    return *this;
}

std::string EventArgs::ForLog() const
{
    std::string text;
    for (const auto& value : values_) {
        if (!text.empty()) text += ", ";
        text += FormatForLog(value);
    }
    return text;
}

std::vector<VARIANT> EventArgs::Reversed() const
{
    return {values_.rbegin(), values_.rend()};
}

void EventPoint::Fire(DISPID id, const EventArgs& args, const std::function<void(HRESULT)>& onSinkFailure)
{
    // A copy, so sinks that connect or disconnect meanwhile do not disturb
    // this round, and each sink stays alive while it is called.
    std::vector<Sink> sinks = sinks_;
    for (const auto& sink : sinks) {
        // A fresh array for each sink, so one that scribbles on its
        // DISPPARAMS slots does not change what the next one sees.
        std::vector<VARIANT> reversed = args.Reversed();
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        EXCEPINFO exception{};
        UINT argError = 0;
        const HRESULT hr = sink.dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                                 &params, nullptr, &exception, &argError);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        if (FAILED(hr) && onSinkFailure) onSinkFailure(hr);
    }
}

STDMETHODIMP EventPoint::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IConnectionPoint) return E_NOINTERFACE;
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP EventPoint::GetConnectionInterface(IID* iid)
{
    if (!iid) return E_POINTER;
    *iid = scanner::contract::kEventsIid;
    return S_OK;
}

STDMETHODIMP EventPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (!container) return E_POINTER;
    *container = &owner_;
    owner_.AddRef();
    return S_OK;
}

STDMETHODIMP EventPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    try {
        // As MFC's connection points do, insist on the event interface itself.
        win::ComPtr<IDispatch> dispatch;
        if (FAILED(sink->QueryInterface(scanner::contract::kEventsIid, dispatch.put_void())))
            return CONNECT_E_CANNOTCONNECT;
        sinks_.push_back({nextCookie_, dispatch});
        *cookie = nextCookie_++;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP EventPoint::Unadvise(DWORD cookie)
{
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->cookie == cookie) {
            sinks_.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP EventPoint::EnumConnections(IEnumConnections** connections)
{
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
}

}  // namespace sim
