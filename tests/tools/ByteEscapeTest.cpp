#include <gtest/gtest.h>

#include "receivers/ByteEscape.h"
#include "receivers/ReceiverOptions.h"

namespace {

using receivers::EscapeBytes;
using receivers::UnescapeBytes;

TEST(ByteEscape, EveryByteValueSurvivesTheRoundTripAndStaysVisible)
{
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
    const std::string escaped = EscapeBytes(all);
    for (const char c : escaped) EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << static_cast<int>(c);
    EXPECT_EQ(UnescapeBytes(escaped), all);
}

TEST(ByteEscape, EscapesOnlyWhatWouldBeInvisibleOrAmbiguous)
{
    struct Case {
        std::string bytes;
        std::string escaped;
    } const cases[] = {
        {"", ""},
        {"C:\\img\\a 1.bmp\r\n", "C:\\\\img\\\\a 1.bmp\\r\\n"},
        {"tab\there", "tab\\there"},
        {std::string("\0\x01\x1F\x7F", 4), "\\x00\\x01\\x1F\\x7F"},
        {"\x80\xE8\xFF", "\\x80\\xE8\\xFF"},
        {" !~\"'", " !~\"'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapeBytes(c.bytes), c.escaped);
        EXPECT_EQ(UnescapeBytes(c.escaped), c.bytes) << c.escaped;
    }
    EXPECT_EQ(UnescapeBytes("\\xe8"), "\xE8");
}

TEST(ByteEscape, MalformedEscapesAreRejected)
{
    for (const char* bad : {"\\", "a\\", "\\x", "\\x4", "\\xG0", "\\q", "\\0"})
        EXPECT_THROW(UnescapeBytes(bad), receivers::EscapeError) << bad;
}

TEST(ReceiverOptions, ParsesEachOptionIntoItsRole)
{
    const auto options = receivers::ParseReceiverOptions(
        {"--windows", "photo", "--hang", "TTesmiraWnd=250", "--set-clipboard", "photo=a\\r\\n\\xE8", "--result",
         "-7", "--exit-after", "3", "--timeout-ms", "9000", "--log", "C:\\x.log", "--title", "T"});
    EXPECT_FALSE(options.host.enabled);
    EXPECT_TRUE(options.photo.enabled);
    EXPECT_EQ(options.host.hangMs, 250u);
    EXPECT_EQ(options.photo.hangMs, 0u);
    EXPECT_EQ(options.photo.clipboardAfter, "a\r\n\xE8");
    EXPECT_FALSE(options.host.clipboardAfter);
    EXPECT_EQ(options.result, -7);
    EXPECT_EQ(options.exitAfter, 3u);
    EXPECT_EQ(options.timeoutMs, 9000u);
    EXPECT_EQ(options.logPath, "C:\\x.log");
    EXPECT_EQ(options.title, "T");

    const auto defaults = receivers::ParseReceiverOptions({});
    EXPECT_TRUE(defaults.host.enabled && defaults.photo.enabled);
    EXPECT_FALSE(defaults.exitAfter || defaults.timeoutMs || defaults.title);
    EXPECT_TRUE(receivers::ParseReceiverOptions({"--windows", "photo,host"}).host.enabled);
}

TEST(ReceiverOptions, RejectsBadOptions)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--windows"},          {"--windows", "printer"},  {"--windows", "host,"},
        {"--hang", "host"},     {"--hang", "host=soon"},   {"--hang", "scanner=5"},
        {"--exit-after", "0"},  {"--result", "1x"},        {"--set-clipboard", "photo=\\q"},
        {"--frobnicate", "1"},  {"stray"},
    };
    for (const auto& args : bad)
        EXPECT_THROW(receivers::ParseReceiverOptions(args), receivers::OptionError) << args[0];
}

}  // namespace
