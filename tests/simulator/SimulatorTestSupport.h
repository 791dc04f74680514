#pragma once
// Shared pieces of the stand-in control's tests: a control created by CLSID,
// a sink that records events, the command channel and bounded waiting.
#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "TestSupport.h"
#include "win/ComObject.h"
#include "win/ComPtr.h"
#include "win/UniqueResource.h"

namespace simtest {

// One event argument as received: its type, and its number or its string
// (no string for a null BSTR).
struct Arg {
    VARTYPE type = VT_EMPTY;
    long number = 0;
    std::optional<std::wstring> text;
    bool operator==(const Arg&) const = default;
};

struct ReceivedEvent {
    DISPID id = 0;
    WORD flags = 0;
    std::vector<Arg> args;  // in declaration order
};

// An event sink of the test's own: answers the event IID and records each
// call; `onEvent` runs inside the call (to call back into the control).
class RecordingSink final : public win::ComObject<IDispatch> {
public:
    static win::ComPtr<RecordingSink> Create();

    std::vector<ReceivedEvent> events;
    std::function<void(const ReceivedEvent&)> onEvent;
    HRESULT answer = S_OK;  // what Invoke returns

    std::vector<DISPID> Ids() const;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override;
};

// A VARIANT of the contract's types, for Put: a number coerced to VT_I2,
// VT_I4 or VT_BOOL (nonzero is VARIANT_TRUE), or a BSTR.
VARIANT Variant(VARTYPE type, long number);
VARIANT Variant(const wchar_t* text);

// A control created through CoCreateInstance and given the bridge's stored
// state (Enabled false until powered on), or initialised with InitNew
// (Enabled true, as MFC's defaults).
class Control {
public:
    enum class Start { BridgeState, InitNew };
    explicit Control(Start start = Start::BridgeState);

    IDispatch* dispatch() const { return dispatch_.get(); }
    template <typename T>
    win::ComPtr<T> as() const { return dispatch_.try_as<T>(); }

    HRESULT Get(DISPID id, VARIANT* result, EXCEPINFO* exception = nullptr) const;
    HRESULT Put(DISPID id, VARIANT value, EXCEPINFO* exception = nullptr) const;  // clears value afterwards
    short GetShort(DISPID id) const;  // expects success and VT_I2
    bool GetBool(DISPID id) const;    // expects success and VT_BOOL

    // The control's window (hidden until activated) and its command channel.
    HWND Window() const;
    bool Send(std::string_view command) const;

    // Connects a sink for the control's lifetime (or until Unadvise).
    DWORD Advise(RecordingSink& sink) const;
    void Unadvise(DWORD cookie) const;

private:
    win::ComPtr<IConnectionPoint> EventPoint() const;

    win::ComPtr<IDispatch> dispatch_;
};

}  // namespace simtest
