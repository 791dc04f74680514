#pragma once
// The crash report. An exception nobody handles, anywhere in the process (the
// scanner's control included), ends the bridge here instead of in Windows'
// own crash dialog: a minidump (stacks and modules, no heap) goes to
// %LOCALAPPDATA%\Velt\Denoptix\Crashes\Denoptix-<version>-<UTC time>.dmp
// (the newest five are kept), a line to the trail names the exception and
// the module it happened in, one box tells the operator what happened to the
// images, and the process ends with kCrashExitCode. It never goes on after
// the fault, and never sends a dump anywhere.
#include <windows.h>

namespace trail {

inline constexpr UINT kCrashExitCode = 3;
inline constexpr int kDumpsKept = 5;

// Once, first thing: the process-wide unhandled-exception filter; on Windows
// also the policy that lets a fault inside a window procedure called back
// from the kernel reach that filter instead of being swallowed.
void InstallCrashReport(const char* version) noexcept;

// The box's owner: the stay-on-top main window, so the box is never behind it.
void SetCrashBoxOwner(HWND owner) noexcept;

// What the box says about the set in progress: images reported since the
// last set went to the host program.
void NoteImageReceived() noexcept;
void NoteSetHandedOver() noexcept;

}  // namespace trail
