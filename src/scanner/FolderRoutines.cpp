#include "scanner/FolderRoutines.h"

#include "scanner/FolderPath.h"
#include "win/Error.h"
#include "win/Strings.h"

namespace scanner {

bool AnsiLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

bool FolderExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool SameFolder(std::string_view one, std::string_view other)
{
    // The file system's own case rule is the ordinal one over UTF-16.
    const std::wstring a = win::ToWide(ComparableFolder(one, AnsiLeadByte));
    const std::wstring b = win::ToWide(ComparableFolder(other, AnsiLeadByte));
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool CreateFolderPath(const std::string& path, DWORD* failure)
{
    // A loop, not a call per level: a destination may be nested thousands
    // of folders deep, and the stack must not depend on it.
    const FolderLevels levels = FolderLevelsOf(path, AnsiLeadByte);
    std::size_t missing = 0;
    while (missing < levels.lengths.size() && !FolderExists(path.substr(0, levels.lengths[missing]))) ++missing;
    if (missing == levels.lengths.size() && levels.runsOut) throw win::Error("Unable to create directory");

    // Parents before children.
    while (missing > 0) {
        const std::string folder = path.substr(0, levels.lengths[--missing]);
        if (CreateDirectoryA(folder.c_str(), nullptr)) continue;
        if (failure != nullptr) *failure = GetLastError();
        return false;
    }
    return true;
}

std::string FolderCreationFailure(const std::string& folder, DWORD failure)
{
    return "Unable to create directory '" + folder + "': " + win::SystemMessage(failure);
}

}  // namespace scanner
