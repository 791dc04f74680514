#pragma once
// The receiver of the scanner control's events: an IDispatch for the event
// interface that turns the four events the window binds into ScanEvents
// callbacks and ignores the others.
#include <windows.h>
#include <oaidl.h>

#include "scanner/ScanEvents.h"
#include "win/ComObject.h"

namespace scanner {

class EventSink final : public win::ComObject<IDispatch> {
public:
    explicit EventSink(ScanEvents events);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;

    // IDispatch: only Invoke does anything; the control calls by DISPID.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    // Always returns normally: a callback's exception goes to the error report.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

private:
    ~EventSink() override = default;
    void Deliver(DISPID id, const DISPPARAMS& parameters);

    const ScanEvents events_;
};

}  // namespace scanner
