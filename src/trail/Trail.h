#pragma once
// The support trail: what the bridge did, one line per event, for the
// integrator who must find out why images did not reach the host program.
//
//   %LOCALAPPDATA%\Velt\Denoptix\Denoptix.log   UTF-8, "<UTC time> <process id> <event>"
//   %LOCALAPPDATA%\Velt\Denoptix\Denoptix.1.log the previous 256 KiB
//
// Callers hand it counts, codes, states, times and fixed words only: never a
// folder, an image name, any part of the command line or anything read from
// the clipboard, since those carry patients' names. This module sees nothing
// else, so it cannot leak them.
//
// The trail can never hurt the bridge: it never throws, waits at most a
// moment for another bridge writing at the same time, and after the first
// failure to write (no folder, a locked or read-only file, a full disk) it
// stays silent for the rest of the process. A DWORD "Trail" of 0 under
// HKEY_LOCAL_MACHINE\Software\Policies\Velt\Denoptix turns it off.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace trail {

// Appends one event line. Until BeginWriting, lines wait in memory, so the
// bridge's start-up never waits for the disk.
void Write(std::string_view event) noexcept;

// From now on lines go to the file, those waiting first. Called once the
// window is up, and before a failed start or a crash is reported.
void BeginWriting() noexcept;

// The crash report's line, lines still waiting first when they can be had at
// once. It never waits for this process's own writers.
void WriteAtCrash(std::string_view event) noexcept;

// %LOCALAPPDATA%\Velt\Denoptix, made if missing; empty when it cannot be.
std::string SupportFolder();

// The time now in UTC, as each reader needs it.
enum class StampFor {
    Line,      // "2026-12-10T11:55:06.123Z"
    FileName,  // "20261210T115506Z"
    Heading,   // "2026-12-10 11:55:06 UTC"
};
std::string UtcStamp(StampFor use);

// "0x80040154": an HRESULT or error code the way support looks it up.
std::string Hex(std::uint32_t code);
// A moment, and "1.25 ms" from such a moment to now.
std::int64_t Now() noexcept;
std::string Since(std::int64_t start);

// The file part, for the tests and the rotation: appends `line` (which ends
// with its line break) to Denoptix.log in `folder`, first moving a file that
// has reached kRotateBytes to Denoptix.1.log. Returns false on any failure.
inline constexpr std::uint64_t kRotateBytes = std::uint64_t{256} * 1024;
bool AppendLine(const std::string& folder, std::string_view line) noexcept;

}  // namespace trail
