#pragma once
// Finding the windows of another process, or of this one, from outside.
#include <windows.h>

#include <string>
#include <vector>

#include "win/UniqueResource.h"

namespace testing_support {

// The top-level windows of a process with the given class (any if null).
std::vector<HWND> WindowsOfProcess(DWORD processId, const char* className, bool visibleOnly = false);
// The first descendant of parent at any depth with that control id, or null.
HWND FindDescendant(HWND parent, int id);
// The first descendant of parent at any depth with that window class, or null.
HWND FindDescendant(HWND parent, const char* className);

std::string WindowText(HWND window);
// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window);
std::string ClassOf(HWND window);

// A hidden top-level window of this process, as a clipboard owner or parent.
win::UniqueHwnd CreatePlainWindow();

}  // namespace testing_support
