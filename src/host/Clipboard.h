#pragma once
#include <windows.h>

#include <string_view>

namespace host {

// Replaces the whole clipboard with text as CF_TEXT: one movable, shareable
// block of the text and its zero byte. After it come the formats that keep
// the text out of the clipboard history and the cloud clipboard
// ("ExcludeClipboardContentFromMonitorProcessing", "CanIncludeInClipboardHistory"
// and "CanUploadToCloudClipboard", a DWORD 0 each). The clipboard is opened for owner
// (retried briefly, since another program may hold it for a moment) and is
// closed again on every path; the block is freed unless the clipboard took
// it. Throws win::Error("Cannot open clipboard") when it stays held, and a
// win::Error with a clear message when memory cannot be had or the clipboard
// refuses the data. Returns how many tries the open took.
int PutTextOnClipboard(HWND owner, std::string_view text);

}  // namespace host
