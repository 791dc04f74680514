#include "trail/HangWatch.h"

#include <atomic>
#include <string>

#include "trail/Trail.h"

namespace trail {

namespace {
std::atomic<bool> g_watching{false};
// The watcher needs little stack.
constexpr SIZE_T kWatcherStackBytes = SIZE_T{64} * 1024;
}  // namespace

void StartWatchingCalls() noexcept { g_watching = true; }

CallInProgress::CallInProgress(const char* what, long id) noexcept : what_(what), id_(id)
{
    if (!g_watching) return;
    returned_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (returned_ != nullptr)
        watcher_ = CreateThread(nullptr, kWatcherStackBytes, Watch, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
}

CallInProgress::~CallInProgress()
{
    if (watcher_ != nullptr) {
        SetEvent(returned_);
        WaitForSingleObject(watcher_, INFINITE);  // it only writes its last line
        CloseHandle(watcher_);
    }
    if (returned_ != nullptr) CloseHandle(returned_);
}

DWORD WINAPI CallInProgress::Watch(void* self)
{
    const auto& call = *static_cast<const CallInProgress*>(self);
    const auto start = Now();
    if (WaitForSingleObject(call.returned_, kHangAfterMs) != WAIT_TIMEOUT) return 0;
    const std::string description =
        std::string(call.what_) + " of scanner control member " + std::to_string(call.id_);
    Write("hang: the window has not answered for " + std::to_string(kHangAfterMs / 1000) + " s; in progress: " +
          description);
    WaitForSingleObject(call.returned_, INFINITE);
    Write("hang over: " + description + " returned after " + Since(start));
    return 0;
}

}  // namespace trail
