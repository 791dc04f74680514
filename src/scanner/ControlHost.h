#pragma once
// Owns one ActiveX control placed in place inside a parent window: the
// control's interfaces, our site and the event connection. Brings the control
// up in the order OLE expects and takes it down in exactly the reverse order.
#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include "scanner/HostStep.h"
#include "scanner/LicenseKey.h"
#include "scanner/OleSite.h"
#include "scanner/StoredState.h"
#include "win/ComPtr.h"

namespace scanner {

class ControlHost {
public:
    // Creates the control (with `licence` where its class factory asks for
    // one), hands it its stored state (a refusal is a failure
    // to create it), activates it in place at bounds and connects eventSink
    // to its event interface. Throws HostError; whatever was set up by then
    // is taken down again first.
    ControlHost(const CLSID& control, HWND parent, const RECT& bounds, const StoredState& state,
                const IID& eventInterface, IDispatch* eventSink, const LicenseKey& licence = {},
                HostStepObserver observer = {});
    ~ControlHost();
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    IDispatch* Dispatch() const noexcept { return dispatch_.get(); }
    // The control's in-place window; null if it has none.
    HWND Window() const noexcept;
    void SetBounds(const RECT& bounds);

private:
    void Create(const CLSID& control, HWND parent, const RECT& bounds, const StoredState& state,
                const LicenseKey& licence);
    void SetClientSite();
    void LoadState(const StoredState& state);
    void ActivateInPlace(HWND parent, const RECT& bounds);
    void ConnectEvents(const IID& eventInterface, IDispatch* eventSink);
    void Teardown() noexcept;
    void Begin(HostStep step);

    win::ComPtr<OleSite> site_;
    win::ComPtr<IOleObject> object_;
    win::ComPtr<IOleInPlaceObject> inPlace_;
    win::ComPtr<IDispatch> dispatch_;
    win::ComPtr<IConnectionPoint> eventPoint_;
    DWORD eventCookie_ = 0;
    bool clientSiteSet_ = false;
    bool activated_ = false;
    HostStep step_ = HostStep::Create;
    HostStepObserver observer_;
};

}  // namespace scanner
