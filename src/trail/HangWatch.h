#pragma once
// Notices a call into the scanner's control that does not return (the
// user-interface thread stops answering while it waits) and writes it to the
// trail once, with the call, and again when it returns. It never ends the
// bridge: a slow control may still come back.
#include <windows.h>

namespace trail {

inline constexpr DWORD kHangAfterMs = 10000;

// Calls are watched from this moment on: once the window is up, so that a
// start-up never waits for a watcher.
void StartWatchingCalls() noexcept;

// A call the user-interface thread makes that may not return, watched for
// as long as this lives: `what` is a string literal ("get", "put"), `id` the
// member. Each watch has a small thread of its own that ends with the call,
// so a bridge between calls carries no watcher at all.
class CallInProgress {
public:
    CallInProgress(const char* what, long id) noexcept;
    ~CallInProgress();
    CallInProgress(const CallInProgress&) = delete;
    CallInProgress& operator=(const CallInProgress&) = delete;

private:
    static DWORD WINAPI Watch(void* self);

    const char* what_;
    long id_;
    HANDLE returned_ = nullptr;
    HANDLE watcher_ = nullptr;
};

}  // namespace trail
