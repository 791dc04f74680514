#pragma once
// What the bridge tells the host imaging application and the photo server:
// the end of each image set, and its own closing.
#include <windows.h>

#include <string_view>

namespace host {

inline constexpr char kHostWindowClass[] = "TTesmiraWnd";
inline constexpr char kPhotoServerWindowClass[] = "VELT_FOTO_SERVER";

// Bound on each send. A receiver that is slow but alive (busy loading the
// new images) gets up to 10 s; one that has stopped taking messages for 5 s
// counts as hung on Windows and Wine alike, and SMTO_ABORTIFHUNG gives up on
// it at once. Either way the bridge never freezes in front of the operator.
inline constexpr UINT kSendTimeoutMs = 10000;

// End of an image set: the names go on the clipboard (opened for
// clipboardOwner, the application's own window), then "WM_ACQ_DENOPTIX"
// (0, 0) goes to the host's window, then to the photo server's, each looked
// up afresh and skipped silently when absent; each send waits at most
// sendTimeoutMs. A clipboard failure throws before anything is sent.
void HandOverImageSet(HWND clipboardOwner, std::string_view imageNames, UINT sendTimeoutMs = kSendTimeoutMs);

// First step of closing: "WM_DELETE_RESOURCE" (3, 0) to the photo server
// only, if it is running.
void NotifyClosing();

}  // namespace host
