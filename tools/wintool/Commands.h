#pragma once
// wintool's subcommands. Each prints its result line on stdout and returns
// the exit code; failures throw ToolFailure or UsageError.
#include "wintool/ToolArgs.h"

namespace wintool {

struct Command {
    const char* name;
    const char* usage;
    size_t minArgs;
    size_t maxArgs;
    int (*run)(const ToolArgs& args);
};

int WaitWindow(const ToolArgs& args);
int WaitGone(const ToolArgs& args);
int Click(const ToolArgs& args);
int IsEnabled(const ToolArgs& args);
int CopyData(const ToolArgs& args);
int Close(const ToolArgs& args);
int Rect(const ToolArgs& args);
int List(const ToolArgs& args);
int HoldClipboard(const ToolArgs& args);
int PrintClipboard(const ToolArgs& args);
int SetDpi(const ToolArgs& args);

// Prints one line and flushes at once: under Wine the reader is often another
// process polling a file.
void PrintLine(const std::string& line);

}  // namespace wintool
