#pragma once
// Notices a user-interface thread that has stopped answering (a call into
// the scanner's control that does not return) and writes it to the trail,
// once per hang, with the call in progress. It never ends the bridge: a slow
// control may still come back.
#include <windows.h>

namespace trail {

inline constexpr UINT kHangAfterMs = 10000;

// Watches `window` from a thread of its own for as long as it lives.
class HangWatch {
public:
    explicit HangWatch(HWND window) noexcept;
    ~HangWatch();
    HangWatch(const HangWatch&) = delete;
    HangWatch& operator=(const HangWatch&) = delete;

private:
    static DWORD WINAPI Run(void* self);
    void Watch() noexcept;

    HWND window_;
    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
};

// Names, for the time it lives, a call the user-interface thread makes that
// may not return: `what` is a string literal ("get", "put"), `id` the member.
class CallInProgress {
public:
    CallInProgress(const char* what, long id) noexcept;
    ~CallInProgress();
    CallInProgress(const CallInProgress&) = delete;
    CallInProgress& operator=(const CallInProgress&) = delete;

private:
    const char* previousWhat_;
    long previousId_;
};

}  // namespace trail
