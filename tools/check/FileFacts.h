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

// `path` as registered (environment variables are expanded). A path from
// the 64-bit registry view is read past WoW64's file redirection, so a
// 32-bit check sees the file the 64-bit loader would load.
FileFacts ReadFileFacts(const std::string& path, bool from64BitView);

// "32-bit", "64-bit", "ARM64" or "of an unknown kind".
const char* MachineName(Machine machine);

// The path with its environment variables expanded.
std::string Expanded(const std::string& path);

}  // namespace check
