#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "settings/PlacementRules.h"

namespace {

using settings::PlacedCoordinate;

TEST(PlacementRules, RememberedEdgeIsPulledInsideTheScreen)
{
    struct Case {
        std::int32_t remembered;
        int window;
        int screen;
        std::optional<int> placed;
    } const cases[] = {
        {841, 182, 1024, 841},       // far edge one pixel inside: stays
        {842, 182, 1024, 841},       // far edge on the screen's: pulled back
        {900, 182, 1024, 841},
        {0, 182, 1024, std::nullopt},  // 0 or less: the designed position stays
        {-5, 182, 1024, std::nullopt},
        {1, 182, 1024, 1},
        {10, 1300, 1024, -277},      // wider than the screen: no lower bound
        {INT_MAX, 182, 1024, 841},   // no overflow on the far edge
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlacedCoordinate(c.remembered, c.window, c.screen), c.placed) << c.remembered << " " << c.window;
}

// A 1024 x 768 primary screen with a second monitor beside, above or offset
// from it, and the bridge's 182 x 134 window remembered on it.
TEST(PlacementRules, WindowComesBackOnTheMonitorItWasLeftOn)
{
    using settings::Monitor;
    using settings::Placement;
    const Monitor primary{{0, 0, 1024, 768}, true};
    const std::vector<Monitor> none;
    const std::vector<Monitor> alone = {primary};
    const std::vector<Monitor> right = {primary, {{1024, 0, 2304, 1024}, false}};
    const std::vector<Monitor> left = {{{-1280, 0, 0, 1024}, false}, primary};
    const std::vector<Monitor> above = {primary, {{0, -768, 1024, 0}, false}};
    const std::vector<Monitor> rightLower = {primary, {{1024, 300, 2304, 1324}, false}};
    const std::vector<Monitor> leftHigher = {{{-1280, -400, 0, 624}, false}, primary};
    const std::vector<Monitor> rightTiny = {primary, {{1024, 0, 1124, 100}, false}};
    const std::nullopt_t designed = std::nullopt;
    struct Case {
        const char* layout;
        const std::vector<Monitor>& monitors;
        std::int32_t x;
        std::int32_t y;
        Placement placed;
    } const cases[] = {
        {"one monitor", alone, 841, 100, {841, 100}},
        {"one monitor", alone, 900, 700, {841, 633}},
        {"one monitor", alone, 0, -5, {designed, designed}},
        {"right", right, 1500, 300, {1500, 300}},
        {"right, past its far corner", right, 2250, 990, {2121, 889}},
        {"left", left, -900, 200, {-900, 200}},
        {"left, at its top-left corner", left, -1280, 0, {-1280, 0}},
        {"above", above, 100, -500, {100, -500}},
        {"above, over its right and bottom edges", above, 950, -100, {841, -135}},
        {"right one removed", alone, 1500, 300, {841, 300}},
        {"left one removed", alone, -900, 200, {designed, 200}},
        {"none listed", none, -900, 1500, {designed, 633}},
        {"straddling, mostly on the right one", right, 950, 100, {1024, 100}},
        {"right, 300 lower, title bar above it", rightLower, 1500, 250, {1500, 300}},
        {"left and 400 higher, past its top-left corner", leftHigher, -1300, -450, {-1280, -400}},
        {"right, smaller than the window", rightTiny, 1030, 10, {1024, 0}},
        {"straddling, mostly on the primary", right, 900, 100, {841, 100}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(settings::PlacedWindow(c.x, c.y, 182, 134, 1024, 768, c.monitors), c.placed)
            << c.layout << ": " << c.x << ", " << c.y;
}

TEST(PlacementRules, OptionIsOnByItsLowSixteenBits)
{
    EXPECT_FALSE(settings::StoredOptionIsOn(0));
    EXPECT_FALSE(settings::StoredOptionIsOn(65536));
    EXPECT_TRUE(settings::StoredOptionIsOn(1));
    EXPECT_TRUE(settings::StoredOptionIsOn(2));
    EXPECT_TRUE(settings::StoredOptionIsOn(-1));
    EXPECT_TRUE(settings::StoredOptionIsOn(65537));
    EXPECT_FALSE(settings::StoredOptionIsOn(INT_MIN));
}

}  // namespace
