#pragma once
// The host and the photo server as the benchmark sees them: one window of
// each class, each on a thread of its own, that reads the clipboard when the
// set's message arrives and notes when it has done so.
#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string_view>

#include "ReceiverWindowThread.h"

namespace bench {

// What one receiver found the last time it processed the set's message.
struct Receipt {
    unsigned count = 0;        // messages processed so far
    double doneMs = 0;         // when the last one was processed (NowMs)
    std::size_t textBytes = 0;  // CF_TEXT bytes up to the zero
    std::uint64_t textHash = 0;
};

std::uint64_t HashBytes(std::string_view bytes);

class StampReceiver {
public:
    explicit StampReceiver(const char* windowClass);

    Receipt Last() const;

private:
    void Stamp(HWND window);

    mutable std::mutex lock_;
    Receipt last_;
    testing_support::ReceiverWindowThread window_;  // last: stops before the rest goes
};

}  // namespace bench
