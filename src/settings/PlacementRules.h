#pragma once
// The pure rules by which stored settings come back at start-up.
#include <cstdint>
#include <optional>

namespace settings {

// Where one edge of the window goes at start-up. A remembered coordinate of
// 0 or less is ignored (nullopt: the designed position stays). One that
// would put the far edge at or past the screen's is pulled back so the far
// edge ends one pixel inside; there is no lower bound, so a window larger
// than the screen ends up with a negative edge.
std::optional<int> PlacedCoordinate(std::int32_t remembered, int windowExtent, int screenExtent);

// A stored option is on when its lower 16 bits are not all zero, so 65536
// is off and -1 is on.
bool StoredOptionIsOn(std::int32_t stored);

}  // namespace settings
