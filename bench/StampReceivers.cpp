#include "StampReceivers.h"

#include <string>

#include "Clipboard.h"
#include "Clock.h"

namespace bench {

std::uint64_t HashBytes(std::string_view bytes)
{
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char byte : bytes) hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
    return hash;
}

StampReceiver::StampReceiver(const char* windowClass)
    : window_(windowClass, [this](HWND window, UINT message, WPARAM, LPARAM) {
          if (message == testing_support::ReceiverWindowThread::AcqMessage()) Stamp(window);
      })
{
}

void StampReceiver::Stamp(HWND window)
{
    // Read as a real receiver would; another program may hold the clipboard
    // for a moment.
    const std::string text = testing_support::ClipboardText(window, std::chrono::milliseconds(500)).value_or("");
    const double done = NowMs();
    std::lock_guard<std::mutex> guard(lock_);
    last_ = Receipt{last_.count + 1, done, text.size(), HashBytes(text)};
}

Receipt StampReceiver::Last() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return last_;
}

}  // namespace bench
