// Persistence and in-place activation: what a container needs to host the
// control in one of its windows.
#include <cstdio>
#include <new>
#include <span>

#include "ScanControl.h"
#include "scanner/ControlContract.h"

namespace sim {

namespace property = scanner::contract::property;

namespace {

// MFC's defaults for a control, as a control made with its wizard reports them.
constexpr DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                              OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE;

// Every COM method we implement ends here instead of unwinding into OLE.
template <typename Body>
HRESULT Guarded(Body body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

// Reads until `size` bytes have come or the stream has no more.
ULONG ReadFully(IStream& stream, std::uint8_t* buffer, ULONG size)
{
    ULONG total = 0;
    while (total < size) {
        ULONG read = 0;
        if (FAILED(stream.Read(buffer + total, size - total, &read)) || read == 0) break;
        total += read;
    }
    return total;
}

}  // namespace

STDMETHODIMP ScanControl::GetClassID(CLSID* clsid)
{
    if (!clsid) return E_POINTER;
    *clsid = scanner::contract::kControlClsid;
    return S_OK;
}

STDMETHODIMP ScanControl::IsDirty()
{
    return dirty_ ? S_OK : S_FALSE;
}

STDMETHODIMP ScanControl::Load(LPSTREAM stream)
{
    if (!stream) return E_POINTER;
    std::uint8_t bytes[kStateBytes] = {};
    const ULONG read = ReadFully(*stream, bytes, static_cast<ULONG>(kStateBytes));
    // Refusing on request stands in for a control of another version, whose
    // format the container's stored bytes are not.
    const auto state = config_.refuseState ? std::nullopt : Decode(std::span<const std::uint8_t>(bytes, read));
    if (!state) {
        // As MFC's COleControl does when its property exchange fails: every
        // property back to its default, whatever an earlier load had set.
        ResetToDefaults();
        log_.Write("load failed");
        return E_FAIL;
    }
    extentHimetric_ = state->extentHimetric;
    SetEnabledQuietly(state->enabled);
    ApplyInitialPower();
    dirty_ = false;
    char described[96];
    std::snprintf(described, sizeof described, "load ok: version %u.%u, extent %ld x %ld, enabled %s",
                  static_cast<unsigned>(HIWORD(state->version)), static_cast<unsigned>(LOWORD(state->version)),
                  static_cast<long>(extentHimetric_.cx), static_cast<long>(extentHimetric_.cy),
                  properties_.Bool(property::Enabled) ? "true" : "false");
    log_.Write(described);
    return S_OK;
}

STDMETHODIMP ScanControl::Save(LPSTREAM stream, BOOL clearDirty)
{
    if (!stream) return E_POINTER;
    const std::vector<std::uint8_t> bytes =
        Encode({kStateVersion, extentHimetric_, properties_.Bool(property::Enabled)});
    ULONG written = 0;
    const HRESULT hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    if (FAILED(hr)) return hr;
    if (written != bytes.size()) return STG_E_MEDIUMFULL;
    if (clearDirty) dirty_ = false;
    return S_OK;
}

STDMETHODIMP ScanControl::GetSizeMax(ULARGE_INTEGER* size)
{
    if (!size) return E_POINTER;
    size->QuadPart = kStateBytes;
    return S_OK;
}

void ScanControl::ResetToDefaults()
{
    const PersistedState defaults = DefaultPersistedState();
    extentHimetric_ = defaults.extentHimetric;
    SetEnabledQuietly(defaults.enabled);
    ApplyInitialPower();
    dirty_ = false;
}

STDMETHODIMP ScanControl::InitNew()
{
    ResetToDefaults();
    log_.Write("initnew");
    return S_OK;
}

STDMETHODIMP ScanControl::SetClientSite(IOleClientSite* site)
{
    clientSite_ = win::ComPtr<IOleClientSite>(site);
    return S_OK;
}

STDMETHODIMP ScanControl::GetClientSite(IOleClientSite** site)
{
    if (!site) return E_POINTER;
    *site = clientSite_.get();
    if (*site) (*site)->AddRef();
    return S_OK;
}

STDMETHODIMP ScanControl::Close(DWORD)
{
    return Guarded([&] {
        const win::ComPtr<IDispatch> keepAlive(this);
        InPlaceDeactivate();
        window_.Destroy();
        log_.Write("close");
        return S_OK;
    });
}

STDMETHODIMP ScanControl::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ScanControl::GetClipboardData(DWORD, IDataObject** data)
{
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ScanControl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND, LPCRECT position)
{
    return Guarded([&] {
        const win::ComPtr<IDispatch> keepAlive(this);
        switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
            return ActivateInPlace(activeSite ? activeSite : clientSite_.get(), false, position);
        case OLEIVERB_UIACTIVATE:
            return ActivateInPlace(activeSite ? activeSite : clientSite_.get(), true, position);
        case OLEIVERB_HIDE:
            if (window_.IsChild()) ShowWindow(window_.Handle(), SW_HIDE);
            return S_OK;
        default: return E_NOTIMPL;
        }
    });
}

HRESULT ScanControl::ActivateInPlace(IOleClientSite* site, bool uiActivate, LPCRECT position)
{
    if (!inPlaceSite_) {
        if (!site) return E_UNEXPECTED;
        win::ComPtr<IOleInPlaceSite> inPlaceSite;
        if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, inPlaceSite.put_void()))) return E_NOINTERFACE;
        if (inPlaceSite->CanInPlaceActivate() != S_OK) return E_FAIL;
        if (const HRESULT hr = inPlaceSite->OnInPlaceActivate(); FAILED(hr)) return hr;

        HWND parent = nullptr;
        win::ComPtr<IOleInPlaceFrame> frame;
        win::ComPtr<IOleInPlaceUIWindow> document;
        RECT where{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        const bool haveContext = SUCCEEDED(
            inPlaceSite->GetWindowContext(frame.put(), document.put(), &where, &clip, &frameInfo));
        if (!haveContext && position) where = *position;
        if (FAILED(inPlaceSite->GetWindow(&parent)) || !parent || (!haveContext && !position)) {
            inPlaceSite->OnInPlaceDeactivate();
            return E_FAIL;
        }
        ReplaceWindow(parent, where);
        inPlaceSite_ = inPlaceSite;
        log_.Write("activate");
    }
    if (uiActivate && !uiActive_) {
        uiActive_ = true;
        inPlaceSite_->OnUIActivate();  // a container without UI activation may refuse; that is fine
    }
    ShowWindow(window_.Handle(), SW_SHOWNA);
    return S_OK;
}

STDMETHODIMP ScanControl::EnumVerbs(IEnumOLEVERB** verbs)
{
    if (verbs) *verbs = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ScanControl::SetExtent(DWORD aspect, SIZEL* size)
{
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    extentHimetric_ = *size;
    dirty_ = true;
    return S_OK;
}

STDMETHODIMP ScanControl::GetExtent(DWORD aspect, SIZEL* size)
{
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    *size = extentHimetric_;
    return S_OK;
}

STDMETHODIMP ScanControl::Advise(IAdviseSink*, DWORD* connection)
{
    if (connection) *connection = 0;
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP ScanControl::EnumAdvise(IEnumSTATDATA** advise)
{
    if (advise) *advise = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

STDMETHODIMP ScanControl::GetMiscStatus(DWORD, DWORD* status)
{
    if (!status) return E_POINTER;
    *status = kMiscStatus;
    return S_OK;
}

STDMETHODIMP ScanControl::GetWindow(HWND* window)
{
    if (!window) return E_POINTER;
    // Also before activation: tests reach the command channel this way.
    *window = window_.Handle();
    return *window ? S_OK : E_FAIL;
}

STDMETHODIMP ScanControl::InPlaceDeactivate()
{
    return Guarded([&] {
        if (!inPlaceSite_) return S_OK;
        const win::ComPtr<IDispatch> keepAlive(this);
        UIDeactivate();
        const win::ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
        inPlaceSite_.reset();
        // A hidden window keeps the command channel and the power-on timer.
        ReplaceWindow(nullptr, RECT{0, 0, 41, 134});
        site->OnInPlaceDeactivate();
        return S_OK;
    });
}

STDMETHODIMP ScanControl::UIDeactivate()
{
    if (!uiActive_) return S_OK;
    uiActive_ = false;
    if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
    return S_OK;
}

STDMETHODIMP ScanControl::SetObjectRects(LPCRECT position, LPCRECT)
{
    if (!position) return E_POINTER;
    if (window_.IsChild())
        SetWindowPos(window_.Handle(), nullptr, position->left, position->top, position->right - position->left,
                     position->bottom - position->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

}  // namespace sim
