// The test channel's commands, one per WM_COPYDATA message. Each runs to the
// end before the message returns, events included.
#include <climits>

#include "ScanControl.h"
#include "scanner/ControlContract.h"

namespace sim {

namespace {

bool HasArguments(std::wstring_view command)
{
    return command.find(L' ') != std::wstring_view::npos;
}

}  // namespace

bool ScanControl::ExecuteCommand(std::wstring_view command)
{
    std::wstring_view rest;
    const std::wstring_view verb = NextWord(command, rest);
    if (SameName(verb, L"scan") && !HasArguments(command)) {
        RunScan();
    } else if (SameName(verb, L"images")) {
        config_.imagesPerSet = ParseCount(rest);
    } else if (SameName(verb, L"sets")) {
        config_.sets = ParseCount(rest);
    } else if (SameName(verb, L"names")) {
        // "names" alone clears; "names " (one blank) scripts one empty name.
        config_.scriptedNames = HasArguments(command) ? ParseNames(rest) : std::vector<ReportedName>{};
    } else if (SameName(verb, L"nullname") && !HasArguments(command)) {
        nextScanNames_ = {std::nullopt};
        nextScanScripted_ = true;
    } else if (SameName(verb, L"state")) {
        const auto state = ParseNumber(rest);
        if (!state || *state < SHRT_MIN || *state > SHRT_MAX) return false;
        EnterState(static_cast<short>(*state));
    } else if (SameName(verb, L"states")) {
        config_.powerOnStates = ParseStates(rest);
    } else if (SameName(verb, L"step-ms")) {
        config_.stepMs = static_cast<UINT>(ParseCount(rest, kMaxStepMs));
    } else if (SameName(verb, L"fail")) {
        return ExecuteFail(rest);
    } else if (SameName(verb, L"fire")) {
        return ExecuteFire(rest);
    } else if (SameName(verb, L"crash") && !HasArguments(command)) {
        return window_.PostFault();
    } else if (SameName(verb, L"log") && !rest.empty()) {
        log_.SetPath(std::wstring(rest));
    } else {
        return false;
    }
    return true;
}

bool ScanControl::ExecuteFail(std::wstring_view arguments)
{
    std::wstring_view rest;
    const std::wstring_view kind = NextWord(arguments, rest);
    if (SameName(kind, L"clear") && rest.empty()) {
        config_.failures.clear();
        return true;
    }
    std::wstring_view description;
    const std::wstring_view name = NextWord(rest, description);
    const PropertyInfo* info = FindProperty(name);
    if (!info) return false;
    InjectedFailure failure = ParseFailure(kind, info->name, description);
    // A new rule for the same call replaces the old one.
    std::erase_if(config_.failures, [&](const InjectedFailure& old) {
        return old.onPut == failure.onPut && SameName(old.property, failure.property);
    });
    config_.failures.push_back(std::move(failure));
    return true;
}

bool ScanControl::ExecuteFire(std::wstring_view arguments)
{
    std::wstring_view rest;
    bool more = HasArguments(arguments);
    const EventInfo* info = FindEvent(NextWord(arguments, rest));
    if (!info) return false;
    EventArgs args;
    for (const ArgKind kind : info->args) {
        if (kind == ArgKind::Text) {
            // The rest of the line, blanks included; none at all is a null string.
            args.Text(more ? ReportedName(std::wstring(rest)) : std::nullopt);
            more = false;
            continue;
        }
        if (!more) return false;
        more = HasArguments(rest);
        std::wstring_view after;
        const auto number = ParseNumber(NextWord(rest, after));
        rest = after;
        if (!number) return false;
        if (kind == ArgKind::Long) {
            args.Long(*number);
        } else {
            if (*number < SHRT_MIN || *number > SHRT_MAX) return false;
            args.Short(static_cast<short>(*number));
        }
    }
    Fire(info->id, args);
    return true;
}

}  // namespace sim
