#include "settings/StoredValues.h"

namespace settings {

std::string OutOfRange(const ValueSpec& spec, std::int32_t stored)
{
    // -1 is what a close writes for a list with nothing selected.
    if (spec.kind != ValueKind::ListIndex || (stored >= -1 && stored < spec.items)) return {};
    return "names no item of its list of " + std::to_string(spec.items) + " items";
}

}  // namespace settings
