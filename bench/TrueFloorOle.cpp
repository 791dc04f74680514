#include "TrueFloorOle.h"

#include "scanner/ControlContract.h"

namespace bench::floor {

namespace event = scanner::contract::event;

HRESULT Site::QueryInterface(REFIID iid, void** object)
{
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *object = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
        *object = static_cast<IOleInPlaceFrame*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    return S_OK;
}

HRESULT Site::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT Site::GetContainer(IOleContainer** container)
{
    *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT Site::GetWindow(HWND* window)
{
    *window = parent_;
    return S_OK;
}

HRESULT Site::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                               LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    *frame = this;
    *document = nullptr;
    *position = *clip = bounds_;
    *info = OLEINPLACEFRAMEINFO{sizeof(OLEINPLACEFRAMEINFO), FALSE, parent_, nullptr, 0};
    return S_OK;
}

HRESULT Sink::QueryInterface(REFIID iid, void** object)
{
    // The control's connection point asks for its event interface itself.
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == scanner::contract::kEventsIid) {
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT Sink::GetTypeInfoCount(UINT* count)
{
    *count = 0;
    return S_OK;
}

HRESULT Sink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*)
{
    // Nothing may unwind into the control's frames.
    try {
        if (id == event::OnStartingScan) names_.clear();
        // (short sLocation, BSTR szName) arrives last first: the name is rgvarg[0].
        if (id == event::OnNewImage && parameters != nullptr && parameters->cArgs == 2)
            Append(parameters->rgvarg[0]);
        if (id == event::OnEndNewImageSet) endOfSet_(names_);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void Sink::Append(const VARIANT& name)
{
    BSTR text = name.vt == VT_BSTR ? name.bstrVal : name.vt == (VT_BSTR | VT_BYREF) ? *name.pbstrVal : nullptr;
    const int wide = text != nullptr ? static_cast<int>(SysStringLen(text)) : 0;
    const int narrow = wide > 0 ? WideCharToMultiByte(CP_ACP, 0, text, wide, nullptr, 0, nullptr, nullptr) : 0;
    const std::size_t start = names_.size();
    // std::string grows geometrically, so a set of any size appends in linear time.
    names_.resize(start + static_cast<std::size_t>(narrow) + 2);
    if (narrow > 0) WideCharToMultiByte(CP_ACP, 0, text, wide, names_.data() + start, narrow, nullptr, nullptr);
    names_[names_.size() - 2] = '\r';
    names_[names_.size() - 1] = '\n';
}

}  // namespace bench::floor
