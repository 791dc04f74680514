#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>

#include "scanner/SessionRules.h"

namespace {

// Feeds state reports through the rule the way the main window does, and
// says at which report (0-based) Accendi was disabled, or -1.
int DisabledAtReport(short recordedState, std::initializer_list<short> reports, bool enabled = true)
{
    short last = recordedState;
    int index = 0;
    int disabledAt = -1;
    for (const short report : reports) {
        if (scanner::ReportDisablesAccendi(last, report, enabled)) {
            enabled = false;
            disabledAt = index;
        }
        last = report;
        ++index;
    }
    return disabledAt;
}

TEST(SessionRules, OnlyAChangeFromThreeToSixDisablesAccendi)
{
    EXPECT_EQ(DisabledAtReport(0, {3, 6}), 1);
    EXPECT_EQ(DisabledAtReport(0, {3, 3, 6}), 2);
    EXPECT_EQ(DisabledAtReport(0, {3, 5, 6}), -1);
    EXPECT_EQ(DisabledAtReport(0, {6}), -1);
    EXPECT_EQ(DisabledAtReport(3, {6}), 0);  // the 3 recorded at power-on counts
    EXPECT_EQ(DisabledAtReport(0, {3, 6, 3, 6}), 1);
    EXPECT_EQ(DisabledAtReport(0, {6, 3}), -1);
    EXPECT_EQ(DisabledAtReport(0, {3, 6}, false), -1);  // already disabled stays so
    EXPECT_EQ(DisabledAtReport(0, {-1, 3, 6}), 2);
    EXPECT_EQ(DisabledAtReport(0, {3, -6}), -1);
    EXPECT_EQ(DisabledAtReport(-3, {6}), -1);
    EXPECT_EQ(DisabledAtReport(0, {3, -32768, 6}), -1);
}

class ImageNames : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (GetACP() != 1252) GTEST_SKIP() << "expectations are for the Western code page 1252, not " << GetACP();
    }
};

TEST_F(ImageNames, EachNameIsConvertedUpToItsFirstNulAndEndsInCrLf)
{
    std::string names;
    scanner::AppendImageName(names, L"C:\\Pazienti\\0042\\img001.tif");
    scanner::AppendImageName(names, L"");
    scanner::AppendImageName(names, nullptr);
    const wchar_t cutAtNul[] = L"ab\0cd";
    scanner::AppendImageName(names, cutAtNul);
    scanner::AppendImageName(names, L"Perl\u00E8");
    EXPECT_EQ(names, "C:\\Pazienti\\0042\\img001.tif\r\n\r\n\r\nab\r\nPerl\xE8\r\n");
}

TEST_F(ImageNames, CharactersOutsideTheCodePageBecomeItsDefaultCharacter)
{
    CPINFO info{};
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
    const char defaultChar = static_cast<char>(info.DefaultChar[0]);

    std::string names = "kept\r\n";
    scanner::AppendImageName(names, L"x\u4E2D\u0416y");
    EXPECT_EQ(names, std::string("kept\r\nx") + defaultChar + defaultChar + "y\r\n");
}

TEST_F(ImageNames, LongNamesAndLongListsAreKeptWhole)
{
    std::wstring longName(32000, L'n');
    longName.back() = L'\u00E8';
    std::string names;
    scanner::AppendImageName(names, longName.c_str());
    ASSERT_EQ(names.size(), 32002u);
    EXPECT_EQ(names.substr(31997), "nn\xE8\r\n");

    // Growth must be geometric: a reallocation per name would be quadratic.
    names.clear();
    int reallocations = 0;
    for (int i = 0; i < 100000; ++i) {
        const auto capacity = names.capacity();
        scanner::AppendImageName(names, (L"img" + std::to_wstring(i) + L".tif").c_str());
        if (names.capacity() != capacity) ++reallocations;
    }
    EXPECT_LT(reallocations, 64);
    EXPECT_EQ(names.compare(0, 14, "img0.tif\r\nimg1"), 0);
    EXPECT_EQ(names.substr(names.size() - 14), "img99999.tif\r\n");
}

}  // namespace
