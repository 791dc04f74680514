#include "SimText.h"

#include <climits>
#include <cwctype>

namespace sim {

std::wstring FromUtf8(std::string_view utf8)
{
    if (utf8.empty() || utf8.size() > INT_MAX) return {};
    const int length = static_cast<int>(utf8.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(needed > 0 ? needed : 0), L'\0');
    if (needed > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), needed);
    return wide;
}

std::string ToUtf8(std::wstring_view wide)
{
    if (wide.empty() || wide.size() > INT_MAX) return {};
    const int length = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), needed, nullptr, nullptr);
    return utf8;
}

std::string QuoteForLog(const ReportedName& text)
{
    if (!text) return "null";
    std::wstring escaped = L"\"";
    for (const wchar_t c : *text) {
        switch (c) {
        case L'\\': escaped += L"\\\\"; break;
        case L'"': escaped += L"\\\""; break;
        case L'\r': escaped += L"\\r"; break;
        case L'\n': escaped += L"\\n"; break;
        case L'\0': escaped += L"\\0"; break;
        default: escaped += c;
        }
    }
    escaped += L'"';
    return ToUtf8(escaped);
}

std::string FormatForLog(const VARIANT& value)
{
    switch (value.vt) {
    case VT_BOOL: return value.boolVal ? "true" : "false";
    case VT_I2: return std::to_string(value.iVal);
    case VT_I4: return std::to_string(value.lVal);
    case VT_BSTR:
        if (!value.bstrVal) return QuoteForLog(std::nullopt);
        return QuoteForLog(std::wstring(value.bstrVal, SysStringLen(value.bstrVal)));
    default: return "?";
    }
}

bool SameName(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

std::wstring_view NextWord(std::wstring_view text, std::wstring_view& rest)
{
    const size_t end = text.find(L' ');
    if (end == std::wstring_view::npos) {
        rest = {};
        return text;
    }
    rest = text.substr(end + 1);
    return text.substr(0, end);
}

std::optional<long> ParseNumber(std::wstring_view text)
{
    bool negative = false;
    if (!text.empty() && text.front() == L'-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 9) return std::nullopt;
    long value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    return negative ? -value : value;
}

}  // namespace sim
