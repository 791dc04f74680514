#include "wintool/ToolArgs.h"

#include <charconv>

namespace wintool {

namespace {

unsigned long ParseNumber(std::string_view text, int base, const std::string& what)
{
    unsigned long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc() || stop != end) throw UsageError(what + ": not a number: " + std::string(text));
    return value;
}

const std::string& ValueAfter(const std::vector<std::string>& args, size_t index)
{
    if (index + 1 >= args.size()) throw UsageError(args[index] + ": missing value");
    return args[index + 1];
}

}  // namespace

unsigned long ParseDecimal(const std::string& text, const std::string& what)
{
    return ParseNumber(text, 10, what);
}

unsigned long ParseHex(const std::string& text, const std::string& what)
{
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) digits.remove_prefix(2);
    return ParseNumber(digits, 16, what);
}

ToolArgs ParseToolArgs(const std::vector<std::string>& args)
{
    ToolArgs parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--timeout-ms") {
            parsed.timeoutMs = static_cast<DWORD>(ParseDecimal(ValueAfter(args, i++), arg));
        } else if (arg == "--child") {
            parsed.childClass = ValueAfter(args, i++);
        } else if (arg == "--post") {
            parsed.post = true;
        } else if (arg.starts_with("--")) {
            throw UsageError("unknown option " + arg);
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return parsed;
}

}  // namespace wintool
