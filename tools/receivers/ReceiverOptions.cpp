#include "receivers/ReceiverOptions.h"

#include <charconv>

#include "receivers/ByteEscape.h"

namespace receivers {

const char kReceiverUsage[] =
    "usage: DenoptixReceivers [--windows host,photo] [--log FILE] [--hang CLASS=MS]\n"
    "                         [--set-clipboard CLASS=TEXT] [--close-bridge CLASS=send|post]\n"
    "                         [--result N] [--exit-after N]\n"
    "                         [--timeout-ms N] [--title TEXT]\n"
    "CLASS is host, photo, TTesmiraWnd or VELT_FOTO_SERVER; TEXT uses the log's escapes.\n";

namespace {

template <typename Number>
Number ParseNumber(const std::string& text, const std::string& option)
{
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        throw OptionError(option + ": not a number: " + text);
    return value;
}

RoleOptions& RoleNamed(ReceiverOptions& options, const std::string& name, const std::string& option)
{
    if (name == "host" || name == kHostClass) return options.host;
    if (name == "photo" || name == kPhotoClass) return options.photo;
    throw OptionError(option + ": unknown window " + name);
}

// Splits "CLASS=VALUE" and returns the role and the value.
std::pair<RoleOptions*, std::string> RoleAssignment(ReceiverOptions& options, const std::string& text,
                                                    const std::string& option)
{
    const size_t equals = text.find('=');
    if (equals == std::string::npos) throw OptionError(option + ": expected CLASS=VALUE");
    return {&RoleNamed(options, text.substr(0, equals), option), text.substr(equals + 1)};
}

void ParseWindows(ReceiverOptions& options, const std::string& list)
{
    options.host.enabled = false;
    options.photo.enabled = false;
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        RoleNamed(options, list.substr(start, comma - start), "--windows").enabled = true;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
}

bool IsKnownOption(const std::string& option)
{
    for (const char* known : {"--windows", "--log", "--hang", "--set-clipboard", "--close-bridge", "--result",
                              "--exit-after", "--timeout-ms", "--title"}) {
        if (option == known) return true;
    }
    return false;
}

void ApplyOption(ReceiverOptions& options, const std::string& option, const std::string& value)
{
    if (option == "--windows") {
        ParseWindows(options, value);
    } else if (option == "--log") {
        if (value.empty()) throw OptionError("--log: empty file name");
        options.logPath = value;
    } else if (option == "--hang") {
        auto [role, ms] = RoleAssignment(options, value, option);
        role->hangMs = ParseNumber<DWORD>(ms, option);
    } else if (option == "--set-clipboard") {
        auto [role, text] = RoleAssignment(options, value, option);
        try {
            role->clipboardAfter = UnescapeBytes(text);
        } catch (const EscapeError& e) {
            throw OptionError(option + ": " + e.what());
        }
    } else if (option == "--close-bridge") {
        auto [role, how] = RoleAssignment(options, value, option);
        if (how != "send" && how != "post") throw OptionError(option + ": expected send or post, not " + how);
        role->closeBridge = how == "send" ? CloseBridge::Send : CloseBridge::Post;
    } else if (option == "--result") {
        options.result = ParseNumber<LRESULT>(value, option);
    } else if (option == "--exit-after") {
        options.exitAfter = ParseNumber<unsigned>(value, option);
        if (*options.exitAfter == 0) throw OptionError("--exit-after: must be at least 1");
    } else if (option == "--timeout-ms") {
        options.timeoutMs = ParseNumber<DWORD>(value, option);
    } else if (option == "--title") {
        options.title = value;
    }
}

}  // namespace

ReceiverOptions ParseReceiverOptions(const std::vector<std::string>& args)
{
    ReceiverOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            options.help = true;
            continue;
        }
        if (!IsKnownOption(args[i])) throw OptionError("unknown option " + args[i]);
        if (i + 1 == args.size()) throw OptionError(args[i] + ": missing value");
        ApplyOption(options, args[i], args[i + 1]);
        ++i;
    }
    return options;
}

}  // namespace receivers
