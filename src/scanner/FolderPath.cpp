#include "scanner/FolderPath.h"

#include <cstddef>

namespace scanner {

namespace {

// Where the path's last character starts. A lead byte with nothing after it
// counts as a character of its own.
std::size_t LastCharacterStart(std::string_view path, LeadByteTest isLeadByte)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size();) {
        start = i;
        const bool doubleByte = isLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size();
        i += doubleByte ? 2 : 1;
    }
    return start;
}

}  // namespace

std::string_view WithoutTrailingBackslash(std::string_view path, LeadByteTest isLeadByte)
{
    if (path.empty()) return path;
    const std::size_t last = LastCharacterStart(path, isLeadByte);
    if (last == path.size() - 1 && path[last] == '\\') path.remove_suffix(1);
    return path;
}

std::string_view ParentPart(std::string_view path, LeadByteTest isLeadByte)
{
    std::size_t end = 0;
    for (std::size_t i = 0; i < path.size();) {
        if (isLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            i += 2;
            continue;
        }
        if (path[i] == '\\' || path[i] == ':') end = i + 1;
        ++i;
    }
    return path.substr(0, end);
}

std::string UsableDestination(std::string_view destinationFolder)
{
    std::string_view trimmed = destinationFolder;
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.remove_suffix(1);
    const bool quoted = trimmed.size() > 1 && trimmed.front() == '"' && trimmed.back() == '"';
    if (!quoted) return std::string(destinationFolder);
    return std::string(trimmed.substr(1, trimmed.size() - 2));
}

}  // namespace scanner
