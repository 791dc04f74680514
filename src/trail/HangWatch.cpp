#include "trail/HangWatch.h"

#include <atomic>
#include <string>

#include "trail/Trail.h"

namespace trail {

namespace {

std::atomic<const char*> g_callWhat{nullptr};
std::atomic<long> g_callId{0};

std::string CallDescription()
{
    const char* what = g_callWhat.load();
    if (what == nullptr) return "no call into the scanner control";
    return std::string(what) + " of scanner control member " + std::to_string(g_callId.load());
}

}  // namespace

HangWatch::HangWatch(HWND window) noexcept : window_(window)
{
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (stop_ != nullptr) thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

HangWatch::~HangWatch()
{
    if (thread_ != nullptr) {
        SetEvent(stop_);
        // A probe may be waiting on this very thread, which is leaving: the
        // watcher is told to stop and left to the end of the process.
        WaitForSingleObject(thread_, 200);
        CloseHandle(thread_);
    }
    if (stop_ != nullptr) CloseHandle(stop_);
}

DWORD WINAPI HangWatch::Run(void* self)
{
    static_cast<HangWatch*>(self)->Watch();
    return 0;
}

void HangWatch::Watch() noexcept
{
    bool reported = false;
    while (WaitForSingleObject(stop_, 1000) == WAIT_TIMEOUT) {
        DWORD_PTR ignored = 0;
        if (SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, kHangAfterMs, &ignored) != 0) {
            if (reported) Write("hang over: the window answers again");
            reported = false;
        } else if (GetLastError() == ERROR_TIMEOUT && !reported) {
            Write("hang: the window has not answered for " + std::to_string(kHangAfterMs / 1000) + " s; in progress: " +
                  CallDescription());
            reported = true;
        } else if (!IsWindow(window_)) {
            return;
        }
    }
}

CallInProgress::CallInProgress(const char* what, long id) noexcept
    : previousWhat_(g_callWhat.load()), previousId_(g_callId.load())
{
    g_callId = id;
    g_callWhat = what;
}

CallInProgress::~CallInProgress()
{
    g_callId = previousId_;
    g_callWhat = previousWhat_;
}

}  // namespace trail
