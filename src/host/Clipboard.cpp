#include "host/Clipboard.h"

#include <cstring>

#include "win/Error.h"
#include "win/UniqueResource.h"

namespace host {

namespace {

// Clipboard managers and remote-desktop sync hold the clipboard for a few
// milliseconds at a time: 8 tries 40 ms apart stay well under a second.
constexpr int kOpenAttempts = 8;
constexpr DWORD kOpenPauseMs = 40;

// Keeps the clipboard open for one scope; nobody else can use it meanwhile,
// so it must be closed whatever happens after the open.
class OpenClipboardGuard {
public:
    explicit OpenClipboardGuard(HWND owner)
    {
        for (int attempt = 1; !OpenClipboard(owner); ++attempt) {
            if (attempt == kOpenAttempts) throw win::Error("Cannot open clipboard");
            Sleep(kOpenPauseMs);
        }
    }
    ~OpenClipboardGuard() { CloseClipboard(); }
    OpenClipboardGuard(const OpenClipboardGuard&) = delete;
    OpenClipboardGuard& operator=(const OpenClipboardGuard&) = delete;
};

win::UniqueHglobal CopyToSharedBlock(std::string_view text)
{
    win::UniqueHglobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1));
    if (!block) win::ThrowLastError("Cannot allocate memory for the clipboard");
    auto* bytes = static_cast<char*>(GlobalLock(block.get()));
    if (bytes == nullptr) win::ThrowLastError("Cannot lock memory for the clipboard");
    if (!text.empty()) std::memcpy(bytes, text.data(), text.size());
    bytes[text.size()] = '\0';
    GlobalUnlock(block.get());
    return block;
}

}  // namespace

void PutTextOnClipboard(HWND owner, std::string_view text)
{
    OpenClipboardGuard clipboard(owner);
    win::UniqueHglobal block = CopyToSharedBlock(text);
    win::CheckLastError(EmptyClipboard(), "Cannot empty the clipboard");
    if (SetClipboardData(CF_TEXT, block.get()) == nullptr)
        win::ThrowLastError("Cannot put the image names on the clipboard");
    block.release();  // the system owns it now
}

}  // namespace host
