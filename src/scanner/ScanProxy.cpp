#include "scanner/ScanProxy.h"

#include <utility>

#include "scanner/ControlContract.h"
#include "scanner/ControlHost.h"
#include "scanner/DispatchCalls.h"
#include "scanner/EventSink.h"
#include "win/ComPtr.h"

namespace scanner {

namespace property = contract::property;

class TDenOptixScanProxy::Impl {
public:
    Impl(HWND parent, const RECT& bounds, const StoredState& state, ScanEvents events, const LicenseKey& licence,
         HostStepObserver observer)
        : sink_(win::ComPtr<EventSink>::Attach(new EventSink(std::move(events)))),
          host_(contract::kControlClsid, parent, bounds, state, contract::kEventsIid, sink_.get(), licence,
                std::move(observer))
    {
    }

    ControlHost& Host() noexcept { return host_; }
    IDispatch* Control() const noexcept { return host_.Dispatch(); }

private:
    // Declared first so it outlives the connection the host holds to it.
    win::ComPtr<EventSink> sink_;
    ControlHost host_;
};

TDenOptixScanProxy::TDenOptixScanProxy(HWND parent, const RECT& bounds, const StoredState& state,
                                       ScanEvents events, const LicenseKey& licence, HostStepObserver observer)
    : impl_(std::make_unique<Impl>(parent, bounds, state, std::move(events), licence, std::move(observer)))
{
}

TDenOptixScanProxy::~TDenOptixScanProxy() = default;

void TDenOptixScanProxy::SetBounds(const RECT& bounds) { impl_->Host().SetBounds(bounds); }

HWND TDenOptixScanProxy::Window() const { return impl_->Host().Window(); }

IDispatch* TDenOptixScanProxy::Control() const { return impl_->Control(); }

bool TDenOptixScanProxy::EnableCustomScan()
{
    return dispatch::GetBool(impl_->Control(), property::EnableCustomScan);
}

void TDenOptixScanProxy::SetEnableCustomScan(bool value)
{
    dispatch::PutBool(impl_->Control(), property::EnableCustomScan, value);
}

bool TDenOptixScanProxy::EnableEndoScan()
{
    return dispatch::GetBool(impl_->Control(), property::EnableEndoScan);
}

void TDenOptixScanProxy::SetEnableEndoScan(bool value)
{
    dispatch::PutBool(impl_->Control(), property::EnableEndoScan, value);
}

void TDenOptixScanProxy::SetScanParmFinalLocation(std::string_view folder)
{
    dispatch::PutString(impl_->Control(), property::ScanParmFinalLocation, folder);
}

bool TDenOptixScanProxy::ScanParmUnsharpMask()
{
    return dispatch::GetBool(impl_->Control(), property::ScanParmUnsharpMask);
}

void TDenOptixScanProxy::SetScanParmUnsharpMask(bool value)
{
    dispatch::PutBool(impl_->Control(), property::ScanParmUnsharpMask, value);
}

void TDenOptixScanProxy::SetScanParmIntraOralResolution(short dpi)
{
    dispatch::PutShort(impl_->Control(), property::ScanParmIntraOralResolution, dpi);
}

void TDenOptixScanProxy::SetScanParmExtraOralResolution(short dpi)
{
    dispatch::PutShort(impl_->Control(), property::ScanParmExtraOralResolution, dpi);
}

short TDenOptixScanProxy::ControlState()
{
    return dispatch::GetShort(impl_->Control(), property::ControlState);
}

bool TDenOptixScanProxy::Enabled() { return dispatch::GetBool(impl_->Control(), property::Enabled); }

void TDenOptixScanProxy::SetEnabled(bool value)
{
    dispatch::PutBool(impl_->Control(), property::Enabled, value);
}

}  // namespace scanner
