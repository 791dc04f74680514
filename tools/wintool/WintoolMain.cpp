// wintool: finds and drives windows for scripts and tests under Wine, where
// X tools cannot see a program's child windows.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <exception>

#include "wintool/Commands.h"

namespace {

using namespace wintool;

constexpr Command kCommands[] = {
    {"wait-window", "wait-window CLASS [TITLE] [--timeout-ms N]", 1, 2, WaitWindow},
    {"wait-gone", "wait-gone CLASS [--timeout-ms N]", 1, 1, WaitGone},
    {"click", "click CLASS CONTROL_TEXT_OR_ID [--post]", 2, 2, Click},
    {"is-enabled", "is-enabled CLASS CONTROL_TEXT_OR_ID", 2, 2, IsEnabled},
    {"copydata", "copydata WINDOWCLASS DWDATA_HEX TEXT [--child CHILDCLASS] [--timeout-ms N]", 3, 3, CopyData},
    {"close", "close CLASS", 1, 1, Close},
    {"rect", "rect CLASS", 1, 1, Rect},
    {"list", "list CLASS", 1, 1, List},
    {"hold-clipboard", "hold-clipboard MS", 1, 1, HoldClipboard},
    {"clipboard", "clipboard", 0, 0, PrintClipboard},
    {"set-dpi", "set-dpi N", 1, 1, SetDpi},
};

void PrintUsage()
{
    std::fputs("usage: wintool COMMAND ARGS...\n", stderr);
    for (const Command& command : kCommands) std::fprintf(stderr, "  wintool %s\n", command.usage);
}

const Command* FindCommand(const char* name)
{
    for (const Command& command : kCommands) {
        if (std::strcmp(command.name, name) == 0) return &command;
    }
    return nullptr;
}

int RunCommand(const Command& command, const std::vector<std::string>& words)
{
    const ToolArgs args = ParseToolArgs(words);
    if (args.positional.size() < command.minArgs || args.positional.size() > command.maxArgs)
        throw UsageError(std::string("usage: wintool ") + command.usage);
    return command.run(args);
}

}  // namespace

int main(int argc, char** argv)
{
    // Lines end in LF alone, also through a pipe or file, for the shell scripts that read them.
    _setmode(_fileno(stdout), _O_BINARY);
    const Command* command = argc > 1 ? FindCommand(argv[1]) : nullptr;
    if (!command) {
        PrintUsage();
        return 2;
    }
    try {
        return RunCommand(*command, std::vector<std::string>(argv + 2, argv + argc));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "wintool: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "wintool %s: %s\n", command->name, e.what());
        return 1;
    }
}
