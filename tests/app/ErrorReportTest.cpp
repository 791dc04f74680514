#include <gtest/gtest.h>

#include "app/ApplicationTitle.h"
#include "app/ErrorReport.h"

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

TEST(ErrorReport, RecorderReceivesTheFinalText)
{
    std::string seen;
    app::SetReportRecorderForTests([&](const std::string& text) { seen = text; });
    try {
        throw std::runtime_error("Unable to create directory");
    } catch (...) {
        app::ReportCurrentException();
    }
    app::SetReportRecorderForTests(nullptr);
    EXPECT_EQ(seen, "Unable to create directory.");
}

}  // namespace
