#include "settings/PlacementRules.h"

namespace settings {

std::optional<int> PlacedCoordinate(std::int32_t remembered, int windowExtent, int screenExtent)
{
    if (remembered <= 0) return std::nullopt;
    // 64-bit sum: a stored value near INT32_MAX must clamp, not overflow.
    if (static_cast<std::int64_t>(remembered) + windowExtent >= screenExtent)
        return screenExtent - windowExtent - 1;
    return remembered;
}

bool StoredOptionIsOn(std::int32_t stored)
{
    return (static_cast<std::uint32_t>(stored) & 0xFFFFu) != 0;
}

}  // namespace settings
