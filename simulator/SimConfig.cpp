#include "SimConfig.h"

#include <climits>
#include <stdexcept>

namespace sim {

namespace {

std::vector<std::wstring_view> Split(std::wstring_view text, wchar_t separator)
{
    std::vector<std::wstring_view> parts;
    for (;;) {
        const size_t end = text.find(separator);
        parts.push_back(text.substr(0, end));
        if (end == std::wstring_view::npos) return parts;
        text.remove_prefix(end + 1);
    }
}

std::wstring_view TrimBlanks(std::wstring_view text)
{
    while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
    return text;
}

std::optional<std::wstring> Environment(const wchar_t* name)
{
    const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::wstring value(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), needed);
    value.resize(length < needed ? length : 0);
    return value;
}

// Applies one variable when it is set; a malformed one changes nothing.
template <typename Apply>
void FromEnvironment(const wchar_t* name, Apply apply)
{
    const auto value = Environment(name);
    if (!value) return;
    try {
        apply(*value);
    } catch (const std::exception&) {
    }
}

}  // namespace

std::vector<ReportedName> ParseNames(std::wstring_view list)
{
    std::vector<ReportedName> names(1, std::wstring());
    for (size_t i = 0; i < list.size(); ++i) {
        const wchar_t c = list[i];
        const wchar_t next = i + 1 < list.size() ? list[i + 1] : L'\0';
        if (c == L'\\' && next == L'|') {
            names.back()->push_back(L'|');
            ++i;
        } else if (c == L'\\' && next == L'0') {
            names.back()->push_back(L'\0');
            ++i;
        } else if (c == L'|') {
            names.emplace_back(std::wstring());
        } else {
            names.back()->push_back(c);
        }
    }
    return names;
}

std::vector<short> ParseStates(std::wstring_view list)
{
    std::vector<short> states;
    for (const auto part : Split(list, L',')) {
        const auto number = ParseNumber(TrimBlanks(part));
        if (!number || *number < SHRT_MIN || *number > SHRT_MAX)
            throw std::invalid_argument("bad state list");
        states.push_back(static_cast<short>(*number));
    }
    return states;
}

int ParseCount(std::wstring_view text, int maximum)
{
    const auto number = ParseNumber(TrimBlanks(text));
    if (!number || *number < 0 || *number > maximum) throw std::invalid_argument("bad count");
    return static_cast<int>(*number);
}

InjectedFailure ParseFailure(std::wstring_view kind, std::wstring_view property,
                             std::wstring_view description)
{
    InjectedFailure failure;
    if (SameName(kind, L"put"))
        failure.onPut = true;
    else if (!SameName(kind, L"get"))
        throw std::invalid_argument("fail needs get or put");
    if (property.empty()) throw std::invalid_argument("fail needs a property");
    failure.property = property;
    failure.description = description;
    return failure;
}

std::vector<InjectedFailure> ParseFailureList(std::wstring_view list)
{
    std::vector<InjectedFailure> failures;
    for (const auto entry : Split(list, L';')) {
        if (TrimBlanks(entry).empty()) continue;
        const size_t first = entry.find(L':');
        const size_t second = first == std::wstring_view::npos ? first : entry.find(L':', first + 1);
        if (second == std::wstring_view::npos) throw std::invalid_argument("bad failure list");
        failures.push_back(ParseFailure(entry.substr(0, first),
                                        entry.substr(first + 1, second - first - 1),
                                        entry.substr(second + 1)));
    }
    return failures;
}

std::vector<std::pair<std::wstring, std::wstring>> ParseOptionList(std::wstring_view list)
{
    std::vector<std::pair<std::wstring, std::wstring>> options;
    for (const auto entry : Split(list, L',')) {
        if (TrimBlanks(entry).empty()) continue;
        const size_t equals = entry.find(L'=');
        if (equals == std::wstring_view::npos) throw std::invalid_argument("bad option list");
        options.emplace_back(TrimBlanks(entry.substr(0, equals)),
                             TrimBlanks(entry.substr(equals + 1)));
    }
    return options;
}

SimConfig ConfigFromEnvironment()
{
    SimConfig config;
    FromEnvironment(L"DENOPTIX_SIM_LOG", [&](const std::wstring& v) { config.logPath = v; });
    FromEnvironment(L"DENOPTIX_SIM_IMAGES", [&](const std::wstring& v) { config.imagesPerSet = ParseCount(v); });
    FromEnvironment(L"DENOPTIX_SIM_SETS", [&](const std::wstring& v) { config.sets = ParseCount(v); });
    FromEnvironment(L"DENOPTIX_SIM_NAMES", [&](const std::wstring& v) { config.scriptedNames = ParseNames(v); });
    FromEnvironment(L"DENOPTIX_SIM_STATES", [&](const std::wstring& v) { config.powerOnStates = ParseStates(v); });
    FromEnvironment(L"DENOPTIX_SIM_STEP_MS", [&](const std::wstring& v) {
        config.stepMs = static_cast<UINT>(ParseCount(v, kMaxStepMs));
    });
    FromEnvironment(L"DENOPTIX_SIM_FAIL", [&](const std::wstring& v) { config.failures = ParseFailureList(v); });
    FromEnvironment(L"DENOPTIX_SIM_FOLDER", [&](const std::wstring& v) { config.defaultFolder = v; });
    FromEnvironment(L"DENOPTIX_SIM_AUTOSCAN", [&](const std::wstring&) { config.autoScan = true; });
    FromEnvironment(L"DENOPTIX_SIM_REFUSE_STATE", [&](const std::wstring&) { config.refuseState = true; });
    FromEnvironment(L"DENOPTIX_SIM_INITIAL_ENABLED", [&](const std::wstring& v) { config.initialEnabled = v == L"1"; });
    FromEnvironment(L"DENOPTIX_SIM_INITIAL_OPTIONS", [&](const std::wstring& v) { config.initialOptions = ParseOptionList(v); });
    return config;
}

}  // namespace sim
