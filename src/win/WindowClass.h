#pragma once
// Registers a window class of this module once per process; later calls
// (a second window, a second test) find it registered and do nothing.
#include <windows.h>

namespace win {

void RegisterWindowClassOnce(HINSTANCE instance, const char* className, WNDPROC procedure,
                             HBRUSH background = nullptr);

}  // namespace win
