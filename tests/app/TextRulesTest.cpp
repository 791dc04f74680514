// The text rules of the title and the error report; no platform calls, so
// this file also runs in the native sanitizer build.
#include <gtest/gtest.h>

#include "app/FullStop.h"
#include "app/TitleRule.h"

namespace {

TEST(ErrorReport, FullStopOnlyAfterCharactersSortingAfterThePeriod)
{
    struct Case {
        const char* message;
        const char* shown;
    } const cases[] = {
        {"", ""},
        {"Cannot open clipboard", "Cannot open clipboard."},
        {"Code 42", "Code 42."},
        {"Already done.", "Already done."},
        {"Trailing blank ", "Trailing blank "},
        {"Comma,", "Comma,"},
        {"Bang!", "Bang!"},
        {"(paren)", "(paren)"},
        {"slash/", "slash/."},
        {"\xE8", "\xE8."},  // a code-page letter above 0x7F counts as a letter
    };
    for (const auto& c : cases) EXPECT_EQ(app::WithFullStop(c.message), c.shown) << c.message;
}

TEST(ApplicationTitle, FileNameBeforeFirstDotWithTheRestLowered)
{
    EXPECT_EQ(app::TitleFromModulePath("C:\\Program Files\\Velt\\Denoptix.exe"), "Denoptix");
    EXPECT_EQ(app::TitleFromModulePath("C:\\BIN\\DENOPTIX.EXE"), "Denoptix");
    EXPECT_EQ(app::TitleFromModulePath("c:\\bin\\denoptix.v2.exe"), "denoptix");
    EXPECT_EQ(app::TitleFromModulePath("Z:\\x\\.hidden"), "");
    EXPECT_EQ(app::TitleFromModulePath("NoFolder"), "Nofolder");
    EXPECT_EQ(app::TitleFromModulePath("D:Relative.exe"), "Relative");
}

}  // namespace
