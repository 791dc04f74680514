#include "receivers/ClipboardText.h"

#include <cstring>

#include "receivers/ByteEscape.h"
#include "win/Error.h"
#include "win/UniqueResource.h"

namespace receivers {

namespace {

// Unlocks a global memory block on every path out of a scope.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL memory) noexcept
        : memory_(memory), data_(static_cast<char*>(GlobalLock(memory)))
    {
    }
    ~GlobalLockGuard()
    {
        if (data_) GlobalUnlock(memory_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;

    char* data() const noexcept { return data_; }

private:
    HGLOBAL memory_;
    char* data_;
};

}  // namespace

std::optional<ClipboardLock> ClipboardLock::TryOpen(HWND owner, DWORD retryMs)
{
    const ULONGLONG deadline = GetTickCount64() + retryMs;
    for (;;) {
        if (OpenClipboard(owner)) {
            ClipboardLock lock;
            lock.open_ = true;
            return lock;
        }
        if (GetTickCount64() >= deadline) return std::nullopt;
        Sleep(10);
    }
}

ClipboardLock::ClipboardLock(ClipboardLock&& other) noexcept : open_(other.open_)
{
    other.open_ = false;
}

ClipboardLock::~ClipboardLock()
{
    if (open_) CloseClipboard();
}

ClipboardReading ReadClipboardText(HWND owner, DWORD retryMs)
{
    const auto lock = ClipboardLock::TryOpen(owner, retryMs);
    if (!lock) return {ClipboardReading::Kind::Unavailable, {}};
    const HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return {ClipboardReading::Kind::NoText, {}};
    const GlobalLockGuard locked(data);
    if (!locked.data()) return {ClipboardReading::Kind::NoText, {}};
    // The block may be larger than the text and need not hold a zero byte.
    const size_t size = GlobalSize(data);
    const void* zero = std::memchr(locked.data(), 0, size);
    const size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - locked.data()) : size;
    return {ClipboardReading::Kind::Text, std::string(locked.data(), length)};
}

std::string DescribeClipboard(const ClipboardReading& reading)
{
    switch (reading.kind) {
    case ClipboardReading::Kind::Text: return EscapeBytes(reading.bytes);
    case ClipboardReading::Kind::NoText: return "<none>";
    case ClipboardReading::Kind::Unavailable: break;
    }
    return "<unavailable>";
}

void WriteClipboardText(HWND owner, std::string_view text, DWORD retryMs)
{
    win::UniqueHglobal memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1));
    win::CheckLastError(memory.get(), "Cannot allocate clipboard memory");
    {
        const GlobalLockGuard locked(memory.get());
        win::CheckLastError(locked.data(), "Cannot lock clipboard memory");
        std::memcpy(locked.data(), text.data(), text.size());
        locked.data()[text.size()] = '\0';
    }
    const auto lock = ClipboardLock::TryOpen(owner, retryMs);
    if (!lock) throw win::Error("Cannot open clipboard");
    win::CheckLastError(EmptyClipboard(), "Cannot empty clipboard");
    win::CheckLastError(SetClipboardData(CF_TEXT, memory.get()), "Cannot set clipboard data");
    memory.release();  // the clipboard owns it now
}

}  // namespace receivers
