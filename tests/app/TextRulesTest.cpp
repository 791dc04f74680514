// The text rules of the title and the error report; no platform calls, so
// this file also runs in the native sanitizer build.
#include <gtest/gtest.h>

#include "win/FullStop.h"
#include "win/TitleRule.h"

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
    for (const auto& c : cases) EXPECT_EQ(win::WithFullStop(c.message), c.shown) << c.message;
}

TEST(ApplicationTitle, FileNameBeforeFirstDotWithTheRestLowered)
{
    EXPECT_EQ(win::TitleFromModulePath("C:\\Program Files\\Velt\\Denoptix.exe"), "Denoptix");
    EXPECT_EQ(win::TitleFromModulePath("C:\\BIN\\DENOPTIX.EXE"), "Denoptix");
    EXPECT_EQ(win::TitleFromModulePath("c:\\bin\\denoptix.v2.exe"), "denoptix");
    EXPECT_EQ(win::TitleFromModulePath("Z:\\x\\.hidden"), "");
    EXPECT_EQ(win::TitleFromModulePath("NoFolder"), "Nofolder");
    EXPECT_EQ(win::TitleFromModulePath("D:Relative.exe"), "Relative");
}

}  // namespace
