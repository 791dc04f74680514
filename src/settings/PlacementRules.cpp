#include "settings/PlacementRules.h"

#include <algorithm>

namespace settings {

namespace {

// 64-bit sums throughout: a stored value near INT32_MAX must clamp, not overflow.
int PulledInside(std::int32_t remembered, int windowExtent, int farEdge)
{
    if (static_cast<std::int64_t>(remembered) + windowExtent >= farEdge) return farEdge - windowExtent - 1;
    return remembered;
}

// The near edge wins over the far one: a window larger than the monitor
// keeps its title bar on it.
int PulledInside(std::int32_t remembered, int windowExtent, int nearEdge, int farEdge)
{
    return std::max(PulledInside(remembered, windowExtent, farEdge), nearEdge);
}

std::int64_t Overlap(std::int64_t low, std::int64_t high, int monitorLow, int monitorHigh)
{
    return std::max<std::int64_t>(0, std::min<std::int64_t>(high, monitorHigh) - std::max<std::int64_t>(low, monitorLow));
}

// The monitor holding the largest part of the window, as Windows picks one
// for a rectangle; null when the window lies on none.
const Monitor* MonitorUnder(std::int32_t left, std::int32_t top, int width, int height,
                            std::span<const Monitor> monitors)
{
    const Monitor* best = nullptr;
    std::int64_t bestArea = 0;
    for (const Monitor& monitor : monitors) {
        const std::int64_t area =
            Overlap(left, std::int64_t{left} + width, monitor.bounds.left, monitor.bounds.right) *
            Overlap(top, std::int64_t{top} + height, monitor.bounds.top, monitor.bounds.bottom);
        if (area > bestArea) {
            best = &monitor;
            bestArea = area;
        }
    }
    return best;
}

}  // namespace

std::optional<int> PlacedCoordinate(std::int32_t remembered, int windowExtent, int screenExtent)
{
    if (remembered <= 0) return std::nullopt;
    return PulledInside(remembered, windowExtent, screenExtent);
}

Placement PlacedWindow(std::int32_t rememberedLeft, std::int32_t rememberedTop, int windowWidth, int windowHeight,
                       int screenWidth, int screenHeight, std::span<const Monitor> monitors)
{
    const Monitor* monitor = MonitorUnder(rememberedLeft, rememberedTop, windowWidth, windowHeight, monitors);
    if (monitor == nullptr || monitor->primary)
        return {PlacedCoordinate(rememberedLeft, windowWidth, screenWidth),
                PlacedCoordinate(rememberedTop, windowHeight, screenHeight)};
    return {PulledInside(rememberedLeft, windowWidth, monitor->bounds.left, monitor->bounds.right),
            PulledInside(rememberedTop, windowHeight, monitor->bounds.top, monitor->bounds.bottom)};
}

bool StoredOptionIsOn(std::int32_t stored)
{
    return (static_cast<std::uint32_t>(stored) & 0xFFFFu) != 0;
}

}  // namespace settings
