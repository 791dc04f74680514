#pragma once
// wintool's arguments after the subcommand: positional words and the few
// options some subcommands take.
#include <windows.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace wintool {

// Bad command line: exit code 2 and the usage text.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Something the tool could not do or did not see in time: exit code 1.
class ToolFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ToolArgs {
    std::vector<std::string> positional;
    std::optional<DWORD> timeoutMs;
    std::optional<std::string> childClass;
    bool post = false;

    const std::string& at(size_t index) const { return positional.at(index); }
};

ToolArgs ParseToolArgs(const std::vector<std::string>& args);

// A decimal number; UsageError naming `what` otherwise.
unsigned long ParseDecimal(const std::string& text, const std::string& what);
unsigned long ParseHex(const std::string& text, const std::string& what);

}  // namespace wintool
