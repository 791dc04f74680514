#include "app/CommandLine.h"

namespace app {

namespace {
bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

size_t SkipBlanksAndTabs(std::string_view text, size_t pos)
{
    while (pos < text.size() && IsBlankOrTab(text[pos])) ++pos;
    return pos;
}
}  // namespace

std::string_view CommandLineTail(std::string_view commandLine)
{
    size_t pos = SkipBlanksAndTabs(commandLine, 0);
    if (pos < commandLine.size() && commandLine[pos] == '"') {
        ++pos;
        while (pos < commandLine.size() && commandLine[pos] != '"' && commandLine[pos] != '\t') ++pos;
        if (pos < commandLine.size() && commandLine[pos] == '"') ++pos;
    } else {
        while (pos < commandLine.size() && !IsBlankOrTab(commandLine[pos])) ++pos;
    }
    return commandLine.substr(SkipBlanksAndTabs(commandLine, pos));
}

}  // namespace app
