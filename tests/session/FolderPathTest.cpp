#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scanner/FolderPath.h"

namespace {

bool SingleByte(unsigned char)
{
    return false;
}

// Code page 932's lead bytes: "\x81\x5C" is one character whose trail byte
// happens to be a backslash.
bool Cp932Lead(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The folders a destination may need, innermost first, and whether the walk
// ran out of path (then the outermost must exist, or nothing can be made).
TEST(FolderPath, LevelsFromTheFolderOutwards)
{
    struct Case {
        const char* path;
        scanner::LeadByteTest isLeadByte;
        std::vector<std::string> levels;
        bool runsOut;
    } const cases[] = {
        {"", SingleByte, {}, true},
        {"abc", SingleByte, {"abc"}, true},
        {"abc\\def", SingleByte, {"abc\\def", "abc"}, true},
        {"ab\\cde", SingleByte, {"ab\\cde"}, false},  // "ab" is too short to need making
        {"C:", SingleByte, {}, false},
        {"C:\\", SingleByte, {}, false},
        {"C:foo", SingleByte, {"C:foo"}, false},
        {"C:\\a\\b\\", SingleByte, {"C:\\a\\b", "C:\\a"}, false},  // one trailing backslash goes
        {"C:\\a\\\\", SingleByte, {}, false},                    // the second one stays: done
        {"\\\\server\\share", SingleByte, {"\\\\server\\share", "\\\\server"}, false},
        {"a:b\\c:d", SingleByte, {"a:b\\c:d"}, false},
        // Without lead bytes, 0x81 0x5C is two characters, the second a backslash.
        {"C:\\\x81\x5C", SingleByte, {"C:\\\x81"}, false},
        {"C:\\\x81\x5C", Cp932Lead, {"C:\\\x81\x5C"}, false},
        {"C:\\\x81\x5C\\", Cp932Lead, {"C:\\\x81\x5C"}, false},
        {"C:\\\x81\x5C\x81\x5C", Cp932Lead, {"C:\\\x81\x5C\x81\x5C"}, false},
        {"ab\x81:", Cp932Lead, {"ab\x81:"}, true},  // a colon as trail byte is no drive
        {"ab\x81:", SingleByte, {}, false},
        {"\xE0\\\\", Cp932Lead, {}, false},
    };
    for (const auto& c : cases) {
        const std::string kind = c.isLeadByte == SingleByte ? "single-byte " : "cp932 ";
        const scanner::FolderLevels levels = scanner::FolderLevelsOf(c.path, c.isLeadByte);
        std::vector<std::string> folders;
        for (const std::size_t length : levels.lengths) folders.emplace_back(c.path, length);
        EXPECT_EQ(folders, c.levels) << kind << c.path;
        EXPECT_EQ(levels.runsOut, c.runsOut) << kind << c.path;
    }
}

TEST(FolderPath, QuotedDestinationsLoseTheirQuotesOnly)
{
    struct Case {
        const char* destination;
        const char* usable;
    } const cases[] = {
        {"", ""},
        {"C:\\Pazienti\\0042", "C:\\Pazienti\\0042"},
        {"\"C:\\Pazienti Velt\\0042\"", "C:\\Pazienti Velt\\0042"},
        {"\"C:\\Pazienti Velt\\0042\" \t ", "C:\\Pazienti Velt\\0042"},
        {"\"C:\\a\\\"", "C:\\a\\"},
        {"\"\"", ""},
        {"\"\"\t", ""},
        {"\"", "\""},
        {"\"  ", "\"  "},
        {" \"C:\\a\"", " \"C:\\a\""},  // leading blanks are not ignored
        {"\"C:\\a", "\"C:\\a"},
        {"C:\\a\"", "C:\\a\""},
        {"\"C:\\a\"\r\n", "\"C:\\a\"\r\n"},
        {"C:\\a b  ", "C:\\a b  "},  // unquoted tails stay exactly as received
    };
    for (const auto& c : cases) EXPECT_EQ(scanner::UsableDestination(c.destination), c.usable) << c.destination;
}

// Only a backslash that is a character of its own ends the folder's name.
TEST(FolderPath, OneTrailingBackslashDropsForComparison)
{
    struct Case {
        const char* destination;
        scanner::LeadByteTest isLeadByte;
        const char* comparable;
    } const cases[] = {
        {"C:\\a\\", SingleByte, "C:\\a"},
        {"C:\\a\\\\", SingleByte, "C:\\a\\"},
        {"\"C:\\a\\\" ", SingleByte, "C:\\a"},
        {"C:\\\x81\x5C", SingleByte, "C:\\\x81"},
        {"C:\\\x81\x5C", Cp932Lead, "C:\\\x81\x5C"},
        {"C:\\\x81\x5C\\", Cp932Lead, "C:\\\x81\x5C"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scanner::ComparableFolder(c.destination, c.isLeadByte), c.comparable) << c.destination;
}

}  // namespace
