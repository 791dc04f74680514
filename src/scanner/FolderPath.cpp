#include "scanner/FolderPath.h"

#include <cstddef>
#include <vector>

namespace scanner {

FolderLevels FolderLevelsOf(std::string_view path, LeadByteTest isLeadByte)
{
    // Every level ends on a character boundary of the whole path, and a
    // prefix ending there reads exactly as the whole path does up to it, so
    // the separators are found once, left to right.
    std::vector<std::size_t> separatorEnds;
    for (std::size_t i = 0; i < path.size();) {
        if (isLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            i += 2;
            continue;
        }
        if (path[i] == '\\' || path[i] == ':') separatorEnds.push_back(i + 1);
        ++i;
    }

    FolderLevels levels;
    std::size_t length = path.size();
    std::size_t separators = separatorEnds.size();  // those ending within `length`
    const auto lastSeparatorEnd = [&] {
        while (separators > 0 && separatorEnds[separators - 1] > length) --separators;
        return separators > 0 ? separatorEnds[separators - 1] : 0;
    };
    for (;;) {
        if (length == 0) {
            levels.runsOut = true;
            return levels;
        }
        if (lastSeparatorEnd() == length && path[length - 1] == '\\') --length;
        const std::size_t parent = lastSeparatorEnd();
        if (length < 3 || parent == length) return levels;
        levels.lengths.push_back(length);
        length = parent;
    }
}

std::string UsableDestination(std::string_view destinationFolder)
{
    std::string_view trimmed = destinationFolder;
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.remove_suffix(1);
    const bool quoted = trimmed.size() > 1 && trimmed.front() == '"' && trimmed.back() == '"';
    if (!quoted) return std::string(destinationFolder);
    return std::string(trimmed.substr(1, trimmed.size() - 2));
}

std::string ComparableFolder(std::string_view destinationFolder, LeadByteTest isLeadByte)
{
    std::string folder = UsableDestination(destinationFolder);
    bool endsInBackslash = false;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        endsInBackslash = folder[i] == '\\';
        if (isLeadByte(static_cast<unsigned char>(folder[i]))) ++i;  // never a backslash itself
    }
    if (endsInBackslash) folder.pop_back();
    return folder;
}

}  // namespace scanner
