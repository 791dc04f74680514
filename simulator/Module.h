#pragma once
// The DLL's own state: its instance handle and the count of live objects
// and server locks that DllCanUnloadNow reports on.
#include <windows.h>

namespace sim {

HINSTANCE ModuleInstance() noexcept;
void LockModule() noexcept;
void UnlockModule() noexcept;

}  // namespace sim
