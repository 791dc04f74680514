#include "host/Clipboard.h"

#include <array>
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
        for (tries_ = 1; !OpenClipboard(owner); ++tries_) {
            if (tries_ == kOpenAttempts) throw win::Error("Cannot open clipboard");
            Sleep(kOpenPauseMs);
        }
    }
    int Tries() const noexcept { return tries_; }
    ~OpenClipboardGuard() { CloseClipboard(); }
    OpenClipboardGuard(const OpenClipboardGuard&) = delete;
    OpenClipboardGuard& operator=(const OpenClipboardGuard&) = delete;

private:
    int tries_ = 0;
};

// Image names carry patient folders. Windows 10 1809 and later copy whatever
// is on the clipboard into the clipboard history and, where the user allows
// it, into the cloud clipboard of every device of the account; these formats
// keep the set out of both. They follow CF_TEXT, so readers of the text see
// exactly what they saw before.
constexpr const char* kPrivacyFormats[] = {"ExcludeClipboardContentFromMonitorProcessing",
                                           "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"};
constexpr DWORD kMayNot = 0;

// One movable, shareable block of exactly `size` bytes, which `fill` writes.
template <typename Fill>
win::UniqueHglobal SharedBlock(std::size_t size, Fill fill)
{
    win::UniqueHglobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size));
    if (!block) win::ThrowLastError("Cannot allocate memory for the clipboard");
    auto* bytes = static_cast<char*>(GlobalLock(block.get()));
    if (bytes == nullptr) win::ThrowLastError("Cannot lock memory for the clipboard");
    fill(bytes);
    GlobalUnlock(block.get());
    return block;
}

win::UniqueHglobal CopyToSharedBlock(std::string_view text)
{
    return SharedBlock(text.size() + 1, [text](char* bytes) {
        if (!text.empty()) std::memcpy(bytes, text.data(), text.size());
        bytes[text.size()] = '\0';
    });
}

// Each format holds a DWORD 0, "may not"; for the Exclude format its
// presence alone counts. Best effort: the names are on the clipboard already,
// and failing the hand-over for a marker would lose the set for the host.
void MarkPrivate() noexcept
{
    // Registered once per process: each registration is a call to the system.
    static const std::array<UINT, std::size(kPrivacyFormats)> formats = [] {
        std::array<UINT, std::size(kPrivacyFormats)> registered{};
        for (std::size_t i = 0; i < registered.size(); ++i) registered[i] = RegisterClipboardFormatA(kPrivacyFormats[i]);
        return registered;
    }();
    for (const UINT format : formats) {
        if (format == 0) continue;
        try {
            win::UniqueHglobal block =
                SharedBlock(sizeof kMayNot, [](char* bytes) { std::memcpy(bytes, &kMayNot, sizeof kMayNot); });
            if (SetClipboardData(format, block.get()) != nullptr) block.release();
        } catch (...) {
            // Out of memory for four bytes: leave the marker out.
        }
    }
}

}  // namespace

int PutTextOnClipboard(HWND owner, std::string_view text)
{
    OpenClipboardGuard clipboard(owner);
    win::UniqueHglobal block = CopyToSharedBlock(text);
    win::CheckLastError(EmptyClipboard(), "Cannot empty the clipboard");
    if (SetClipboardData(CF_TEXT, block.get()) == nullptr)
        win::ThrowLastError("Cannot put the image names on the clipboard");
    block.release();  // the system owns it now
    MarkPrivate();
    return clipboard.Tries();
}

}  // namespace host
