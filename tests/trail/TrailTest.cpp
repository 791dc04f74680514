// The support trail: its file turns over at 256 KiB, and a box's text loses
// the patient's folder and file names before it is written.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "trail/Trail.h"
#include "win/PrivateText.h"

namespace {

using testing_support::ReadFileBytes;

TEST(SupportTrail, TurnsOverToTheOneOlderFileOnceItHasReached256KiB)
{
    testing_support::TempFolder folder;
    const std::string current = folder.Path("Denoptix.log");
    const std::string older = folder.Path("Denoptix.1.log");

    ASSERT_TRUE(trail::AppendLine(folder.Path(), std::string(trail::kRotateBytes - 1, 'a')));
    ASSERT_TRUE(trail::AppendLine(folder.Path(), "b\r\n"));
    EXPECT_EQ(GetFileAttributesA(older.c_str()), INVALID_FILE_ATTRIBUTES) << "below the limit it only grows";

    ASSERT_TRUE(trail::AppendLine(folder.Path(), "c\r\n"));
    EXPECT_EQ(ReadFileBytes(current), "c\r\n");
    EXPECT_EQ(ReadFileBytes(older).size(), trail::kRotateBytes + 2);

    // The next turn replaces the older file: never more than two.
    ASSERT_TRUE(trail::AppendLine(folder.Path(), std::string(trail::kRotateBytes, 'd')));
    ASSERT_TRUE(trail::AppendLine(folder.Path(), "e\r\n"));
    EXPECT_EQ(ReadFileBytes(current), "e\r\n");
    EXPECT_EQ(ReadFileBytes(older), "c\r\n" + std::string(trail::kRotateBytes, 'd'));
}

TEST(SupportTrail, BoxTextsLoseFolderAndFileNames)
{
    struct Case {
        const char* text;
        const char* folder;
        const char* written;
    };
    const Case cases[] = {
        {"Unable to create directory 'D:\\Pazienti\\Rossi Mario': Access denied", "D:\\Pazienti\\Rossi Mario",
         "Unable to create directory '<folder>': Access denied"},
        {"Unable to create directory 'D:\\Pazienti\\Rossi': x", "\"D:\\Pazienti\\Rossi\"  ",
         "Unable to create directory '<folder>': x"},
        {"Cannot read 'C:\\Rossi\\IMG_1.bmp' or \"\\\\server\\Bianchi\"", "",
         "Cannot read '<file>' or \"<folder>\""},
        {"Failed to set data for 'X'", "D:\\P", "Failed to set data for 'X'"},
        {"Cannot open clipboard", "", "Cannot open clipboard"},
        {"no closing 'C:\\Rossi", "", "no closing '<folder>"},
    };
    for (const Case& c : cases) EXPECT_EQ(win::WithoutPrivateNames(c.text, c.folder), c.written) << c.text;
}

}  // namespace
