#include <gtest/gtest.h>

#include <random>
#include <string>

#include "app/CommandLine.h"

namespace {

TEST(CommandLineTail, CutsAfterTheProgramNameAndKeepsTheRestExactly)
{
    struct Case {
        const char* line;
        const char* tail;
    } const cases[] = {
        {"", ""},
        {"Denoptix.exe", ""},
        {"Denoptix.exe ", ""},
        {"\"C:\\Program Files\\Velt\\Denoptix.exe\" D:\\Images\\0042", "D:\\Images\\0042"},
        {"Denoptix.exe  \t \t D:\\Images", "D:\\Images"},
        {"   \tDenoptix.exe D:\\x", "D:\\x"},
        {"Denoptix.exe D:\\My Images\\P 1", "D:\\My Images\\P 1"},
        {"Denoptix.exe \"D:\\My Images\\P 1\"", "\"D:\\My Images\\P 1\""},
        {"Denoptix.exe D:\\Images  \t", "D:\\Images  \t"},
        {"\"C:\\Program Files\\Denoptix.exe D:\\Images", ""},
        {"\"C:\\Velt\tDir\\Denoptix.exe\" D:\\x", "Dir\\Denoptix.exe\" D:\\x"},
        {"\"C:\\Velt\\Denoptix.exe\"D:\\x", "D:\\x"},
        {"\"\" D:\\x", "D:\\x"},
        {"Denoptix.exe\tD:\\x", "D:\\x"},
        {"Denoptix.exe a \"b\" c", "a \"b\" c"},
    };
    for (const auto& c : cases) EXPECT_EQ(app::CommandLineTail(c.line), c.tail) << "line: " << c.line;
}

TEST(CommandLineTail, RandomLinesGiveASuffixWithoutLeadingBlanks)
{
    std::mt19937 random(20261208);
    const char alphabet[] = {' ', '\t', '"', 'a', 'b', '\\', ':', '.', '\x01', '\xE9'};
    for (int round = 0; round < 5000; ++round) {
        std::string line(random() % 40, ' ');
        for (char& c : line) c = alphabet[random() % sizeof alphabet];
        const std::string_view tail = app::CommandLineTail(line);
        ASSERT_LE(tail.size(), line.size());
        ASSERT_EQ(line.substr(line.size() - tail.size()), tail) << line;
        if (!tail.empty()) {
            ASSERT_TRUE(tail.front() != ' ' && tail.front() != '\t') << line;
        }
    }
    const std::string huge = "Denoptix.exe " + std::string(32000, 'x');
    EXPECT_EQ(app::CommandLineTail(huge).size(), 32000u);
}

}  // namespace
