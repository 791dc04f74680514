#include <gtest/gtest.h>

#include <string>

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

TEST(FolderPath, TrailingBackslashAndParentPart)
{
    struct Case {
        const char* path;
        scanner::LeadByteTest isLeadByte;
        const char* withoutTrailing;
        const char* parent;
    } const cases[] = {
        {"", SingleByte, "", ""},
        {"abc", SingleByte, "abc", ""},
        {"C:", SingleByte, "C:", "C:"},
        {"C:\\", SingleByte, "C:", "C:\\"},
        {"C:foo", SingleByte, "C:foo", "C:"},
        {"C:\\a\\b", SingleByte, "C:\\a\\b", "C:\\a\\"},
        {"C:\\a\\b\\", SingleByte, "C:\\a\\b", "C:\\a\\b\\"},
        {"C:\\a\\\\", SingleByte, "C:\\a\\", "C:\\a\\\\"},  // only one backslash goes
        {"\\\\server\\share", SingleByte, "\\\\server\\share", "\\\\server\\"},
        {"\\\\", SingleByte, "\\", "\\\\"},
        {"a:b\\c:d", SingleByte, "a:b\\c:d", "a:b\\c:"},
        // Without lead bytes, 0x81 0x5C is two characters, the second a backslash.
        {"C:\\\x81\x5C", SingleByte, "C:\\\x81", "C:\\\x81\x5C"},
        {"C:\\\x81\x5C", Cp932Lead, "C:\\\x81\x5C", "C:\\"},
        {"\x81\x5C", Cp932Lead, "\x81\x5C", ""},
        {"C:\\\x81\x5C\\", Cp932Lead, "C:\\\x81\x5C", "C:\\\x81\x5C\\"},
        {"C:\\\x81\x5C\x81\x5C", Cp932Lead, "C:\\\x81\x5C\x81\x5C", "C:\\"},
        {"\x82\xA0\\", Cp932Lead, "\x82\xA0", "\x82\xA0\\"},
        {"ab\x81:", Cp932Lead, "ab\x81:", ""},  // a colon as trail byte is no drive
        {"ab\x81:", SingleByte, "ab\x81:", "ab\x81:"},
        // A lead byte with nothing after it is a character of its own.
        {"\\\x81", Cp932Lead, "\\\x81", "\\"},
        {"\xE0\\\\", Cp932Lead, "\xE0\\", "\xE0\\\\"},
    };
    for (const auto& c : cases) {
        const std::string kind = c.isLeadByte == SingleByte ? "single-byte " : "cp932 ";
        EXPECT_EQ(scanner::WithoutTrailingBackslash(c.path, c.isLeadByte), c.withoutTrailing) << kind << c.path;
        EXPECT_EQ(scanner::ParentPart(c.path, c.isLeadByte), c.parent) << kind << c.path;
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

}  // namespace
