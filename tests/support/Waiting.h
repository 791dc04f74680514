#pragma once
// Bounded waits that keep this thread's messages flowing, so a window of
// the test (a clipboard owner, a receiver) never blocks the other side.
#include <chrono>
#include <functional>

namespace testing_support {

using namespace std::chrono_literals;

// Pumps this thread's messages until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s);

}  // namespace testing_support
