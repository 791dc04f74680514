#include "Clipboard.h"

#include <cstring>

#include "Waiting.h"
#include "WindowSearch.h"

namespace testing_support {

std::optional<std::string> ClipboardText(HWND owner, std::chrono::milliseconds timeout)
{
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    while (!OpenClipboard(owner)) {
        if (GetTickCount64() >= deadline) return std::nullopt;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
            text.emplace(bytes, strnlen(bytes, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

ClipboardHold::ClipboardHold() : window_(CreatePlainWindow()) { holding_ = OpenClipboard(window_.get()) != FALSE; }

ClipboardHold::~ClipboardHold()
{
    if (holding_) CloseClipboard();
}

bool WaitUntilClipboardHeldBy(DWORD processId)
{
    // Wine's own clipboard bridge to X opens it now and then too: only the
    // given process counts.
    return WaitUntil(
        [&] {
            DWORD holder = 0;
            HWND window = GetOpenClipboardWindow();
            return window != nullptr && GetWindowThreadProcessId(window, &holder) != 0 && holder == processId;
        },
        20s);
}

}  // namespace testing_support
