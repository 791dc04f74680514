#include "scanner/FolderRoutines.h"

#include "scanner/FolderPath.h"
#include "win/Error.h"

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

bool CreateFolderPath(std::string path, DWORD* failure)
{
    if (path.empty()) throw win::Error("Unable to create directory");
    path.resize(WithoutTrailingBackslash(path, AnsiLeadByte).size());

    const std::string_view parent = ParentPart(path, AnsiLeadByte);
    if (path.size() < 3 || FolderExists(path) || parent.size() == path.size()) return true;

    if (!CreateFolderPath(std::string(parent), failure)) return false;
    if (CreateDirectoryA(path.c_str(), nullptr)) return true;
    if (failure != nullptr) *failure = GetLastError();
    return false;
}

std::string FolderCreationFailure(const std::string& folder, DWORD failure)
{
    return "Unable to create directory '" + folder + "': " + win::SystemMessage(failure);
}

}  // namespace scanner
