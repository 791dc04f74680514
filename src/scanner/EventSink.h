#pragma once
// The receiver of the scanner control's events: an IDispatch for the event
// interface that turns the four events the window binds into ScanEvents
// callbacks and ignores the others.
#include <windows.h>
#include <oaidl.h>

#include <atomic>

#include "scanner/ScanProxy.h"

namespace scanner {

class EventSink final : public IDispatch {
public:
    explicit EventSink(ScanEvents events);
    EventSink(const EventSink&) = delete;
    EventSink& operator=(const EventSink&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

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
    ~EventSink() = default;
    void Deliver(DISPID id, const DISPPARAMS& parameters);

    std::atomic<ULONG> references_{1};
    const ScanEvents events_;
};

}  // namespace scanner
