#pragma once
// What the check learns of a program or DLL on disk without loading it:
// whether it is there, its bitness from its PE header, its version.
#include <windows.h>

#include <optional>
#include <string>

namespace check {

enum class Machine { Unknown, X86, X64, Arm64 };

struct FileFacts {
    bool exists = false;
    Machine machine = Machine::Unknown;
    std::string version;  // "2.1.0.0"; empty without a version resource
};

// `path` with its variables expanded. A path from the 64-bit registry view
// is read where the 64-bit loader would load it: a 32-bit check reads
// System32 through Sysnative, and never turns WoW64's redirection off, which
// would send any DLL loaded meanwhile to the wrong folder.
FileFacts ReadFileFacts(const std::string& path, bool from64BitView);

// The machine a PE file's header names; Unknown when it cannot be read (too
// short, not a PE file, a header past its end).
Machine MachineOf(const std::string& path);

// "32-bit", "64-bit", "ARM64" or "of an unknown kind".
const char* MachineName(Machine machine);

// A path as registered in one registry view, expanded as the programs of
// that view see it: %ProgramFiles% of the 64-bit view is "Program Files"
// even for this 32-bit check, and the reverse for a 64-bit one.
std::string ExpandedForView(const std::string& path, bool from64BitView);

// The folder of this program, without a trailing backslash.
std::string ThisProgramFolder();

// The DenoptixCheck.exe of the other bitness beside this one, as the
// portable zip lays them out ("x64\DenoptixCheck.exe" or
// "..\DenoptixCheck.exe" from here); empty where there is none.
std::string OtherBitnessCheck();

}  // namespace check
