#pragma once
// The pure rules by which stored settings come back at start-up.
#include <cstdint>
#include <optional>
#include <span>

namespace settings {

// Where one edge of the window goes at start-up. A remembered coordinate of
// 0 or less is ignored (nullopt: the designed position stays). One that
// would put the far edge at or past the screen's is pulled back so the far
// edge ends one pixel inside; there is no lower bound, so a window larger
// than the screen ends up with a negative edge.
std::optional<int> PlacedCoordinate(std::int32_t remembered, int windowExtent, int screenExtent);

// A monitor's rectangle in screen pixels; the primary one starts at 0, 0.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
struct Monitor {
    ScreenRect bounds;
    bool primary = false;
};

// Where the window's left and top edges go (nullopt: the designed position
// stays). When the remembered place, with the window's size, lies mostly on
// an attached monitor other than the primary one, it comes back inside that
// monitor on all four sides: a left or top edge before the monitor's goes to
// it, a far edge at or past the monitor's is pulled back one pixel inside as
// PlacedCoordinate does; negative coordinates then count. A window larger
// than that monitor keeps its left and top on the monitor's, so its title bar
// stays in reach, and overhangs the far edges. On the primary monitor, or on
// none (unplugged), each edge follows PlacedCoordinate against the primary
// screen's size.
struct Placement {
    std::optional<int> left;
    std::optional<int> top;
    bool operator==(const Placement&) const = default;
};
Placement PlacedWindow(std::int32_t rememberedLeft, std::int32_t rememberedTop, int windowWidth, int windowHeight,
                       int screenWidth, int screenHeight, std::span<const Monitor> monitors);

// A stored option is on when its lower 16 bits are not all zero, so 65536
// is off and -1 is on.
bool StoredOptionIsOn(std::int32_t stored);

}  // namespace settings
