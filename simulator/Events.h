#pragma once
// The control's ten events, and the connection point through which the
// container's sinks receive them.
#include <windows.h>
#include <ocidl.h>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "SimText.h"
#include "win/ComPtr.h"

namespace sim {

enum class ArgKind { Short, Long, Text };

struct EventInfo {
    DISPID id;
    const wchar_t* name;
    std::vector<ArgKind> args;  // in declaration order
};

const std::vector<EventInfo>& AllEvents();
const EventInfo* FindEvent(DISPID id);
const EventInfo* FindEvent(std::wstring_view name);  // case-insensitive

// An event's arguments in declaration order; owns its VARIANTs.
class EventArgs {
public:
    EventArgs() = default;
    EventArgs(const EventArgs&) = delete;
    EventArgs& operator=(const EventArgs&) = delete;
    ~EventArgs();

    EventArgs& Short(short value);
    EventArgs& Long(long value);
    EventArgs& Text(const ReportedName& value);  // embedded NULs survive

    // "0, \"name\"" in the log's syntax.
    std::string ForLog() const;
    // The reverse order DISPPARAMS expects.
    std::vector<VARIANT> Reversed() const;

private:
    std::vector<VARIANT> values_;
};

// The one connection point, for the event interface. It lives inside the
// control and shares its reference count.
class EventPoint final : public IConnectionPoint {
public:
    explicit EventPoint(IConnectionPointContainer& owner) noexcept : owner_(owner) {}

    // Calls every sink connected when the call starts; a sink may advise,
    // unadvise or call the control while it runs. `onSinkFailure` hears of
    // each sink that returned a failure.
    void Fire(DISPID id, const EventArgs& args, const std::function<void(HRESULT)>& onSinkFailure);
    size_t SinkCount() const noexcept { return sinks_.size(); }
    void DisconnectAll() noexcept { sinks_.clear(); }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return owner_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return owner_.Release(); }

    // IConnectionPoint
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

private:
    struct Sink {
        DWORD cookie;
        win::ComPtr<IDispatch> dispatch;
    };

    IConnectionPointContainer& owner_;
    std::vector<Sink> sinks_;
    DWORD nextCookie_ = 1;
};

}  // namespace sim
