#pragma once
// A plain window of the test process and a view of the clipboard.
#include <windows.h>

#include <string>

#include "win/UniqueResource.h"

namespace testing_support {

// A hidden top-level window of this process, as the clipboard's owner.
win::UniqueHwnd CreatePlainWindow();

// The CF_TEXT bytes on the clipboard up to the zero byte; "<none>" without text.
std::string ClipboardText(HWND owner);

// Waits until a window of the given process holds the clipboard open.
bool WaitUntilClipboardHeldBy(DWORD processId);

}  // namespace testing_support
