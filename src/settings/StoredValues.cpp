#include "settings/StoredValues.h"

namespace settings {

std::string OutOfRange(const ValueRule& rule, std::int32_t stored)
{
    // -1 is what a close writes for a list with nothing selected.
    if (rule.kind != ValueKind::ListIndex || (stored >= -1 && stored < rule.items)) return {};
    return "names no item of its list of " + std::to_string(rule.items) + " items";
}

}  // namespace settings
