#include "ui/DecimalText.h"

#include <cstdint>

namespace ui {

std::optional<int> ParseDecimalInteger(std::string_view text)
{
    size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
    if (pos == text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > static_cast<std::int64_t>(INT32_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace ui
