// What Windows on a practice's computer adds, and Wine does not show: the
// words the trail and the check use for each case, from the facts and codes
// Windows gives.
#include <gtest/gtest.h>

#include <windows.h>

#include "host/SendOutcome.h"
#include "win/TokenFacts.h"

namespace {

TEST(PracticeWindows, ARefusedSendIsNamedAndOtherFailuresKeepTheirCode)
{
    struct Case {
        DWORD error;
        const char* written;
    };
    const Case cases[] = {
        {ERROR_ACCESS_DENIED, "host window: Windows refused the message (0x00000005), because that window's "
                              "program runs as administrator and the bridge does not"},
        {ERROR_TIMEOUT, "host window did not answer (0x000005B4) after 10000.00 ms"},
        {0, "host window did not answer (0x00000000) after 10000.00 ms"},  // a hung window, given up on at once
    };
    for (const Case& c : cases) EXPECT_EQ(host::FailedSend("host window", c.error, "10000.00 ms"), c.written);
}

TEST(PracticeWindows, TokenWordsNameElevationAndTheLevelsRange)
{
    struct Case {
        DWORD rid;
        const char* level;
    };
    const Case cases[] = {{0, "untrusted"},        {SECURITY_MANDATORY_LOW_RID, "low"},
                          {0x1FFF, "low"},         {SECURITY_MANDATORY_MEDIUM_RID, "medium"},
                          {0x2100, "medium"},      {SECURITY_MANDATORY_HIGH_RID, "high"},
                          {0x4000, "system"},      {0x5000, "protected"}};
    for (const Case& c : cases) EXPECT_EQ(win::IntegrityLevelName(c.rid), c.level) << c.rid;
    EXPECT_EQ(win::DescribeToken(win::TokenFacts{true, SECURITY_MANDATORY_HIGH_RID}),
              "elevated, high integrity");
    EXPECT_EQ(win::DescribeToken(win::TokenFacts{false, std::nullopt}), "not elevated, integrity level unknown");
    EXPECT_EQ(win::DescribeToken(std::nullopt), "elevation unknown");
}

}  // namespace
