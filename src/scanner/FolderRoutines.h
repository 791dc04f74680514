#pragma once
// Creating the destination folder on disk before the scanner is told to
// write there.
#include <windows.h>

#include <string>
#include <string_view>

namespace scanner {

// The lead-byte test of the running system's ANSI code page.
bool AnsiLeadByte(unsigned char byte);

// True when the path names an existing folder (not a file).
bool FolderExists(const std::string& path);

// Makes the folder and any missing parents, outermost first. One trailing
// backslash is ignored. Counts as done, creating nothing, when the path is
// shorter than three characters, already exists, or still ends in a
// backslash or colon. Throws win::Error("Unable to create directory") when it
// runs out of path: empty, or a relative path whose first missing component
// has three or more characters. On false, *failure (when given) receives the
// system error code of the creation that failed.
bool CreateFolderPath(const std::string& path, DWORD* failure = nullptr);

// Whether two destinations name the same folder as Windows compares paths:
// letter case (of any character of the code page), one trailing backslash
// and the double quotes that power-on drops do not count.
bool SameFolder(std::string_view one, std::string_view other);

// What the operator is told when the folder could not be created: the folder
// and the system's reason.
std::string FolderCreationFailure(const std::string& folder, DWORD failure);

}  // namespace scanner
