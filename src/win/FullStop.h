#pragma once
// The error report's full-stop rule alone, free of the platform.
#include <string>
#include <string_view>

namespace win {

// The report's text: a full stop is appended when the message is not empty
// and its last character sorts after '.' (letters, digits, ...).
std::string WithFullStop(std::string_view message);

}  // namespace win
