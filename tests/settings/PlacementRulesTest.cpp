#include <gtest/gtest.h>

#include <climits>

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
