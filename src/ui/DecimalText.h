#pragma once
#include <optional>
#include <string_view>

namespace ui {

// A list item's text as a decimal integer: optional leading blanks, an
// optional sign, then digits only; nothing when it is not one or does not
// fit in 32 bits.
std::optional<int> ParseDecimalInteger(std::string_view text);

}  // namespace ui
