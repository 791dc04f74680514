#pragma once
// Plain-text (CF_TEXT) clipboard access for the stand-ins and the tools: the
// clipboard is a shared, briefly locked resource, so opening retries for a
// while before giving up.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace receivers {

constexpr DWORD kClipboardRetryMs = 500;

// Keeps the clipboard open; closes it when it goes out of scope.
class ClipboardLock {
public:
    // Retries OpenClipboard until it succeeds or retryMs have passed.
    static std::optional<ClipboardLock> TryOpen(HWND owner, DWORD retryMs = kClipboardRetryMs);

    ClipboardLock(ClipboardLock&& other) noexcept;
    ClipboardLock& operator=(ClipboardLock&&) = delete;
    ClipboardLock(const ClipboardLock&) = delete;
    ClipboardLock& operator=(const ClipboardLock&) = delete;
    ~ClipboardLock();

private:
    ClipboardLock() = default;
    bool open_ = false;
};

struct ClipboardReading {
    enum class Kind { Text, NoText, Unavailable };
    Kind kind = Kind::Unavailable;
    std::string bytes;  // up to the first zero byte; only for Kind::Text
};

ClipboardReading ReadClipboardText(HWND owner, DWORD retryMs = kClipboardRetryMs);

// The escaped bytes, "<none>" without CF_TEXT, "<unavailable>" when the
// clipboard could not be opened.
std::string DescribeClipboard(const ClipboardReading& reading);

// Empties the clipboard and puts text (plus its zero byte) on it as CF_TEXT.
// The owner must be a window: with a null owner SetClipboardData fails.
void WriteClipboardText(HWND owner, std::string_view text, DWORD retryMs = kClipboardRetryMs);

}  // namespace receivers
