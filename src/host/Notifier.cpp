#include "host/Notifier.h"

#include <algorithm>
#include <exception>
#include <string>

#include "host/Clipboard.h"
#include "host/Messages.h"
#include "host/SendOutcome.h"
#include "trail/Trail.h"

namespace host {

namespace {

// The photo server's code for "release what you hold for the bridge".
constexpr WPARAM kDeleteResourceCode = 3;

// Sends message to the top-level window of windowClass, if there is one,
// and waits for it up to timeoutMs. The receiver's answer is not examined.
// Returns what happened, for the trail: "<who> not found", "<who> answered
// in 1.20 ms", or what FailedSend makes of the error.
std::string SendToWindowOfClass(const char* windowClass, const char* who, UINT message, WPARAM wParam,
                                LPARAM lParam, UINT timeoutMs)
{
    // Looked up on every send: receivers come and go while the bridge runs.
    HWND target = FindWindowA(windowClass, nullptr);
    if (target == nullptr) return std::string(who) + " not found";
    DWORD_PTR ignoredResult = 0;
    const auto start = trail::Now();
    if (SendMessageTimeoutA(target, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs,
                            &ignoredResult) != 0)
        return std::string(who) + " answered in " + trail::Since(start);
    const DWORD error = GetLastError();
    return FailedSend(who, error, trail::Since(start));
}

std::string DescribeSet(std::string_view imageNames)
{
    const auto names = std::count(imageNames.begin(), imageNames.end(), '\n');
    return "set of " + std::to_string(names) + " names, " + std::to_string(imageNames.size()) + " characters";
}

}  // namespace

void HandOverImageSet(HWND clipboardOwner, std::string_view imageNames, UINT sendTimeoutMs)
{
    // The set is described only after the receivers have it: counting
    // 100,000 names must not delay them.
    const auto start = trail::Now();
    int tries = 0;
    try {
        tries = PutTextOnClipboard(clipboardOwner, imageNames);
    } catch (const std::exception& error) {
        trail::Write(DescribeSet(imageNames) + ": clipboard failed after " + trail::Since(start) + ": " + error.what() +
                     "; nothing sent");
        throw;
    }
    const std::string clipboard =
        "clipboard taken in " + std::to_string(tries) + (tries == 1 ? " try, " : " tries, ") + trail::Since(start);
    const std::string host = SendToWindowOfClass(kHostWindowClass, "host window", WmAcqDenoptix(), 0, 0, sendTimeoutMs);
    const std::string photo =
        SendToWindowOfClass(kPhotoServerWindowClass, "photo server window", WmAcqDenoptix(), 0, 0, sendTimeoutMs);
    trail::Write(DescribeSet(imageNames) + ": " + clipboard + "; " + host + "; " + photo);
}

void NotifyClosing()
{
    trail::Write("close: " + SendToWindowOfClass(kPhotoServerWindowClass, "photo server window", WmDeleteResource(),
                                                 kDeleteResourceCode, 0, kSendTimeoutMs));
}

}  // namespace host
