#pragma once
// Path text rules for the destination folder. Pure string logic: the code
// page's lead-byte test is a parameter, so double-byte code pages can be
// exercised on any system, and nothing here calls the platform.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace scanner {

using LeadByteTest = bool (*)(unsigned char byte);

// The folders that making a path may have to create, from the path itself
// outwards, each the length of a prefix of the path with one trailing
// backslash dropped. The walk ends, without a look at the disk, at a level
// shorter than three characters or still ending in a backslash or colon;
// those count as there already. When it ends because no path is left (an
// empty path, or a relative name without a parent) runsOut is set: unless
// one of the levels exists, there is nothing to build the folder on.
// One pass over the path, however deep it is.
struct FolderLevels {
    std::vector<std::size_t> lengths;  // innermost first
    bool runsOut = false;
};
FolderLevels FolderLevelsOf(std::string_view path, LeadByteTest isLeadByte);

// Hosts quote paths that contain blanks, and a double quote can never be part
// of a Windows path. When the folder, ignoring trailing blanks and tabs,
// starts and ends with a double quote and is longer than one character, this
// is the text between the quotes; any other folder comes back unchanged.
std::string UsableDestination(std::string_view destinationFolder);

// The destination as two bridges compare it: the usable destination with one
// trailing backslash dropped (a trail byte that happens to be a backslash is
// part of its character and stays). Letter case is left to the comparison.
std::string ComparableFolder(std::string_view destinationFolder, LeadByteTest isLeadByte);

}  // namespace scanner
