#pragma once
// Bounds every call the check makes into the scanner's control. A control
// that never returns holds the check's one thread, and an installer's script
// would wait for it for ever; so a thread of its own watches the clock and,
// when a step runs past its bound, ends the check itself.
#include <windows.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace check {

inline constexpr DWORD kStepLimitMs = 30000;

class StepWatch {
public:
    // `timedOut` runs once, on the watcher's thread, with the words of the
    // step that did not end ("its activation"); the process then ends with
    // the code it returns, whatever the stuck thread is doing.
    using TimedOut = std::function<int(const std::string& step)>;
    explicit StepWatch(TimedOut timedOut, DWORD limitMs = kStepLimitMs);
    // Stops watching; waits for the watcher when it is ending the check.
    ~StepWatch();
    StepWatch(const StepWatch&) = delete;
    StepWatch& operator=(const StepWatch&) = delete;

    // The step in progress from now on, until the next one or Idle. `step`
    // is a string literal.
    void Begin(const char* step);
    void Idle();
    // The check's own end: false when the watcher has already taken it over,
    // and the caller must leave the ending to it.
    bool Finish();

private:
    void Watch();

    TimedOut timedOut_;
    DWORD limitMs_;
    std::mutex mutex_;
    std::condition_variable changed_;
    const char* step_ = nullptr;
    unsigned long generation_ = 0;
    bool finished_ = false;
    bool tookOver_ = false;
    std::thread watcher_;
};

// A step watched for as long as this lives.
class WatchedStep {
public:
    WatchedStep(StepWatch& watch, const char* step) : watch_(watch) { watch_.Begin(step); }
    ~WatchedStep() { watch_.Idle(); }
    WatchedStep(const WatchedStep&) = delete;
    WatchedStep& operator=(const WatchedStep&) = delete;

private:
    StepWatch& watch_;
};

}  // namespace check
