#pragma once
// Text helpers of the stand-in control: UTF-8 at the test channel and in the
// log, UTF-16 everywhere inside (names may hold characters of any script).
#include <windows.h>
#include <oaidl.h>

#include <optional>
#include <string>
#include <string_view>

namespace sim {

// An image name as the control reports it; no value means a null BSTR.
using ReportedName = std::optional<std::wstring>;

std::wstring FromUtf8(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);

// A string value in the log's syntax: double quotes, with backslash, quote,
// CR, LF and NUL escaped; "null" when there is no string at all.
std::string QuoteForLog(const ReportedName& text);

// A VARIANT in the log's syntax: true/false, decimal numbers, quoted strings.
std::string FormatForLog(const VARIANT& value);

// Case-insensitive comparison of ASCII identifiers (property and event names).
bool SameName(std::wstring_view a, std::wstring_view b);

// Splits off the first blank-separated word; `rest` gets what follows the
// single blank after it (kept as is, so trailing text may hold blanks).
std::wstring_view NextWord(std::wstring_view text, std::wstring_view& rest);

// A whole decimal number, possibly negative; nothing for any other text.
std::optional<long> ParseNumber(std::wstring_view text);

}  // namespace sim
