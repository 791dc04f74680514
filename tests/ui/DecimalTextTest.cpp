// List texts read as numbers; no platform calls, so this file also runs in
// the native sanitizer build.
#include <gtest/gtest.h>

#include "ui/DecimalText.h"

namespace {

TEST(DecimalText, AcceptsOnlyDecimalIntegers)
{
    EXPECT_EQ(ui::ParseDecimalInteger("600"), 600);
    EXPECT_EQ(ui::ParseDecimalInteger("  -15"), -15);
    EXPECT_EQ(ui::ParseDecimalInteger("+7"), 7);
    EXPECT_EQ(ui::ParseDecimalInteger("2147483647"), 2147483647);
    EXPECT_EQ(ui::ParseDecimalInteger("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"", " ", "-", "6OO", "600 ", "0x10", "2147483648", "99999999999999999999"})
        EXPECT_FALSE(ui::ParseDecimalInteger(bad).has_value()) << bad;
}

}  // namespace
