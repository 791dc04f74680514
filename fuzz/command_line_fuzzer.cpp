// Fuzzes the command-line tail cutter. The input is a whole command line;
// when it holds a NUL, the part before it is also tried as a program name
// with the part after it as the tail the operator typed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/CommandLine.h"

namespace {

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

void Require(bool condition)
{
    if (!condition) std::abort();
}

void CheckTailOf(std::string_view line)
{
    const std::string_view tail = app::CommandLineTail(line);
    // A view into the line's own last bytes, never a copy or a trimmed part.
    Require(tail.size() <= line.size());
    Require(tail.data() + tail.size() == line.data() + line.size());
    Require(tail.empty() || !IsBlankOrTab(tail.front()));

    // Blanks and tabs before the program name do not change the tail.
    const std::string indented = " \t " + std::string(line);
    Require(app::CommandLineTail(indented) == tail);
}

// An unquoted program name without blanks or tabs, then blanks, then a tail
// that starts with neither: the tail comes back exactly as given.
void CheckKnownSplit(std::string_view name, std::string_view typed)
{
    if (name.empty() || name.front() == '"' || typed.empty() || IsBlankOrTab(typed.front())) return;
    for (const char c : name)
        if (IsBlankOrTab(c)) return;
    const std::string line = std::string(name) + " \t" + std::string(typed);
    Require(app::CommandLineTail(line) == typed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // libFuzzer's buffer has exactly the input's size, so ASan sees any read
    // past its end (a std::string copy would hide one behind its NUL).
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    CheckTailOf(line);
    const std::size_t nul = line.find('\0');
    if (nul != std::string_view::npos) CheckKnownSplit(line.substr(0, nul), line.substr(nul + 1));
    return 0;
}
