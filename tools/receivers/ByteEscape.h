#pragma once
// A visible, unambiguous form of arbitrary bytes, so a clipboard text with CR
// LF, tabs or code-page bytes fits on one tab-separated log line.
#include <stdexcept>
#include <string>
#include <string_view>

namespace receivers {

// Printable ASCII stays as it is, except the backslash (`\\`); CR, LF and tab
// become `\r`, `\n`, `\t`; every other byte becomes `\xHH` (upper-case hex).
std::string EscapeBytes(std::string_view bytes);

class EscapeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The exact inverse of EscapeBytes; throws EscapeError on a malformed escape.
std::string UnescapeBytes(std::string_view escaped);

}  // namespace receivers
