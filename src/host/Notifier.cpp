#include "host/Notifier.h"

#include "host/Clipboard.h"
#include "host/Messages.h"

namespace host {

namespace {

// The photo server's code for "release what you hold for the bridge".
constexpr WPARAM kDeleteResourceCode = 3;

// Sends message to the top-level window of windowClass, if there is one,
// and waits for it up to timeoutMs. The receiver's answer is not examined.
void SendToWindowOfClass(const char* windowClass, UINT message, WPARAM wParam, LPARAM lParam,
                         UINT timeoutMs)
{
    // Looked up on every send: receivers come and go while the bridge runs.
    HWND target = FindWindowA(windowClass, nullptr);
    if (target == nullptr) return;
    DWORD_PTR ignoredResult = 0;
    SendMessageTimeoutA(target, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs,
                        &ignoredResult);
}

}  // namespace

void HandOverImageSet(HWND clipboardOwner, std::string_view imageNames, UINT sendTimeoutMs)
{
    PutTextOnClipboard(clipboardOwner, imageNames);
    SendToWindowOfClass(kHostWindowClass, WmAcqDenoptix(), 0, 0, sendTimeoutMs);
    SendToWindowOfClass(kPhotoServerWindowClass, WmAcqDenoptix(), 0, 0, sendTimeoutMs);
}

void NotifyClosing()
{
    SendToWindowOfClass(kPhotoServerWindowClass, WmDeleteResource(), kDeleteResourceCode, 0,
                                kSendTimeoutMs);
}

}  // namespace host
