// Fuzzes the folder path rules. The first input byte picks the code page's
// lead-byte test, the rest is the path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "scanner/FolderPath.h"

namespace {

bool NoLeadBytes(unsigned char) { return false; }

bool Cp932Lead(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

bool HighLead(unsigned char byte) { return byte >= 0x80; }

// Even '\' and ':' lead: no separator can ever stand alone but the last byte.
bool EveryByteLeads(unsigned char) { return true; }

constexpr scanner::LeadByteTest kLeadByteTests[] = {NoLeadBytes, Cp932Lead, HighLead, EveryByteLeads};

void Require(bool condition)
{
    if (!condition) std::abort();
}

std::vector<std::size_t> CharacterEnds(std::string_view path, scanner::LeadByteTest isLead)
{
    std::vector<std::size_t> ends;
    std::size_t i = 0;
    while (i < path.size()) {
        i += isLead(static_cast<unsigned char>(path[i])) && i + 1 < path.size() ? 2 : 1;
        ends.push_back(i);
    }
    return ends;
}

bool IsSeparator(std::string_view path, std::size_t start, std::size_t end)
{
    return end - start == 1 && (path[start] == '\\' || path[start] == ':');
}

// The folder walk as the rule reads, one level at a time: each level parsed
// afresh from its first byte, one trailing backslash dropped, then its
// parent taken. The rule's own single pass must give exactly this.
scanner::FolderLevels LevelsOneAtATime(std::string_view level, scanner::LeadByteTest isLead)
{
    scanner::FolderLevels levels;
    for (;;) {
        if (level.empty()) {
            levels.runsOut = true;
            return levels;
        }
        std::vector<std::size_t> ends = CharacterEnds(level, isLead);
        const std::size_t lastStart = ends.size() < 2 ? 0 : ends[ends.size() - 2];
        if (IsSeparator(level, lastStart, ends.back()) && level[lastStart] == '\\') {
            level.remove_suffix(1);
            ends = CharacterEnds(level, isLead);
        }
        std::size_t parent = 0;
        for (std::size_t k = 0; k < ends.size(); ++k) {
            if (IsSeparator(level, k == 0 ? 0 : ends[k - 1], ends[k])) parent = ends[k];
        }
        if (level.size() < 3 || parent == level.size()) return levels;
        levels.lengths.push_back(level.size());
        level = level.substr(0, parent);
    }
}

void CheckFolderLevels(std::string_view path, scanner::LeadByteTest isLead)
{
    const scanner::FolderLevels levels = scanner::FolderLevelsOf(path, isLead);
    const scanner::FolderLevels expected = LevelsOneAtATime(path, isLead);
    Require(levels.lengths == expected.lengths);
    Require(levels.runsOut == expected.runsOut);
}

void CheckUsableDestination(std::string_view folder)
{
    const std::string usable = scanner::UsableDestination(folder);
    // Quoted (trailing blanks and tabs aside): the quotes and what follows
    // them go; anything else stays as it is.
    const std::size_t lastKept = folder.find_last_not_of(" \t");
    const bool quoted = lastKept != std::string_view::npos && lastKept > 0 && folder.front() == '"' &&
                        folder[lastKept] == '"';
    Require(quoted != (usable == folder));
    if (!quoted) return;
    Require(usable.size() + 2 <= folder.size());
    Require(folder.front() == '"' && folder.substr(1, usable.size()) == usable);
    Require(folder[usable.size() + 1] == '"');
    Require(folder.find_first_not_of(" \t", usable.size() + 2) == std::string_view::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const scanner::LeadByteTest isLead = kLeadByteTests[data[0] % std::size(kLeadByteTests)];
    // libFuzzer's buffer ends where the path does, so ASan sees any read past
    // its end (a std::string copy would hide one behind its NUL).
    const std::string_view path(reinterpret_cast<const char*>(data) + 1, size - 1);

    CheckFolderLevels(path, isLead);
    CheckUsableDestination(path);
    return 0;
}
