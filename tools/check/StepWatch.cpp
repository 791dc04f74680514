#include "check/StepWatch.h"

#include <chrono>
#include <utility>

namespace check {

StepWatch::StepWatch(TimedOut timedOut, DWORD limitMs)
    : timedOut_(std::move(timedOut)), limitMs_(limitMs), watcher_(&StepWatch::Watch, this)
{
    // Started before the first call into the control: a control stuck while
    // its DLL loads holds the loader lock, and no thread could start then.
}

StepWatch::~StepWatch()
{
    Finish();
    watcher_.join();
}

void StepWatch::Begin(const char* step)
{
    const std::lock_guard<std::mutex> guard(mutex_);
    step_ = step;
    ++generation_;
    changed_.notify_one();
}

void StepWatch::Idle() { Begin(nullptr); }

bool StepWatch::Finish()
{
    const std::lock_guard<std::mutex> guard(mutex_);
    if (tookOver_) return false;
    finished_ = true;
    changed_.notify_one();
    return true;
}

void StepWatch::Watch()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!finished_) {
        if (step_ == nullptr) {
            changed_.wait(lock);
            continue;
        }
        const unsigned long watched = generation_;
        const bool moved = changed_.wait_for(lock, std::chrono::milliseconds(limitMs_),
                                             [&] { return finished_ || generation_ != watched; });
        if (moved) continue;
        tookOver_ = true;
        const std::string step = step_;
        lock.unlock();
        const int code = timedOut_(step);
        // Not ExitProcess: the stuck thread may hold the loader lock, and the
        // control's DLL would be asked to detach from under it.
        TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
        return;
    }
}

}  // namespace check
