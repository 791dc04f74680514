#include "scanner/OleSite.h"

namespace scanner {

OleSite::OleSite(HWND parent, const RECT& bounds) : parent_(parent), bounds_(bounds) {}

HRESULT OleSite::Place(const RECT& bounds) noexcept
{
    bounds_ = bounds;
    // A control may answer SetObjectRects with OnPosRectChange; the rect is
    // already being applied then.
    if (!inPlaceObject_ || placing_) return S_OK;
    placing_ = true;
    const HRESULT hr = inPlaceObject_->SetObjectRects(&bounds_, &bounds_);
    placing_ = false;
    return hr;
}

HRESULT OleSite::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
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
    AddRef();
    return S_OK;
}

// The control's state lives in the window's stored description, not in an
// OLE document, so there is nothing to save and no moniker or container.
HRESULT OleSite::SaveObject() { return S_OK; }

HRESULT OleSite::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT OleSite::GetContainer(IOleContainer** container)
{
    if (container) *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT OleSite::ShowObject() { return S_OK; }
HRESULT OleSite::OnShowWindow(BOOL) { return S_OK; }
HRESULT OleSite::RequestNewObjectLayout() { return E_NOTIMPL; }

HRESULT OleSite::GetWindow(HWND* window)
{
    if (!window) return E_POINTER;
    *window = parent_;
    return S_OK;
}

HRESULT OleSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT OleSite::CanInPlaceActivate() { return S_OK; }
HRESULT OleSite::OnInPlaceActivate() { return S_OK; }
HRESULT OleSite::OnUIActivate() { return S_OK; }

HRESULT OleSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo)
{
    if (!frame || !document || !position || !clip || !frameInfo) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;  // the frame is the only UI window
    *position = bounds_;
    *clip = bounds_;
    frameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = GetAncestor(parent_, GA_ROOT);
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

HRESULT OleSite::Scroll(SIZE) { return E_NOTIMPL; }
HRESULT OleSite::OnUIDeactivate(BOOL) { return S_OK; }
HRESULT OleSite::OnInPlaceDeactivate() { return S_OK; }
HRESULT OleSite::DiscardUndoState() { return S_OK; }
HRESULT OleSite::DeactivateAndUndo() { return E_NOTIMPL; }

HRESULT OleSite::OnPosRectChange(LPCRECT position)
{
    if (!position) return E_POINTER;
    return Place(*position);
}

// No border space, menus or status line to share with the control.
HRESULT OleSite::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
HRESULT OleSite::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
HRESULT OleSite::SetBorderSpace(LPCBORDERWIDTHS) { return OLE_E_INVALIDRECT; }
HRESULT OleSite::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) { return S_OK; }
HRESULT OleSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }
HRESULT OleSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
HRESULT OleSite::RemoveMenus(HMENU) { return E_NOTIMPL; }
HRESULT OleSite::SetStatusText(LPCOLESTR) { return S_OK; }
HRESULT OleSite::EnableModeless(BOOL) { return S_OK; }
HRESULT OleSite::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

}  // namespace scanner
