#pragma once
// TDenOptixScanProxy: the scanner's ActiveX control hosted as a child of a
// window, with typed access to the properties the bridge uses and the four
// events it handles routed to callbacks.
#include <windows.h>

#include <memory>
#include <string_view>

#include "scanner/HostStep.h"
#include "scanner/LicenseKey.h"
#include "scanner/ScanEvents.h"
#include "scanner/StoredState.h"

namespace scanner {

class TDenOptixScanProxy {
public:
    // Creates the control by CLSID, hands it its stored state, activates it
    // in place as a child of parent at bounds (client coordinates) and
    // connects the events. Throws HostError with the system's text when the
    // control is missing or refuses.
    // `licence` goes to a class factory that asks for one; `observer` hears
    // of each step of bringing the control up.
    TDenOptixScanProxy(HWND parent, const RECT& bounds, const StoredState& state, ScanEvents events,
                       const LicenseKey& licence = {}, HostStepObserver observer = {});
    // Disconnects the events, deactivates, closes and releases the control.
    ~TDenOptixScanProxy();
    TDenOptixScanProxy(const TDenOptixScanProxy&) = delete;
    TDenOptixScanProxy& operator=(const TDenOptixScanProxy&) = delete;

    void SetBounds(const RECT& bounds);
    // The control's own window (null if it has none).
    HWND Window() const;
    // The control itself, for a look at what it is (the workstation check).
    IDispatch* Control() const;

    // Each get or put is a synchronous dispatch call; a failure throws
    // win::Error with the control's description, or the system's text.
    bool EnableCustomScan();
    void SetEnableCustomScan(bool value);
    bool EnableEndoScan();
    void SetEnableEndoScan(bool value);
    void SetScanParmFinalLocation(std::string_view folder);
    bool ScanParmUnsharpMask();
    void SetScanParmUnsharpMask(bool value);
    void SetScanParmIntraOralResolution(short dpi);
    void SetScanParmExtraOralResolution(short dpi);
    short ControlState();
    bool Enabled();
    void SetEnabled(bool value);

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace scanner
