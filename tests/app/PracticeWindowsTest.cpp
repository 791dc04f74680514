// What Windows on a practice's computer adds, and Wine does not show: the
// words the trail and the check use for each case, from the facts and codes
// Windows gives.
#include <gtest/gtest.h>

#include <windows.h>

#include "BridgeSettings.h"
#include "host/SendOutcome.h"
#include "trail/CrashWords.h"
#include "win/ProcessDep.h"
#include "win/TokenFacts.h"

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

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

trail::PolicyValue Policy(DWORD type, const std::string& bytes)
{
    trail::PolicyValue value;
    value.type = type;
    value.size = static_cast<DWORD>(bytes.size());
    value.data.assign(bytes.begin(), bytes.end());
    return value;
}

// Only a REG_DWORD 0 leaves DEP to the system; the start line says which
// mode applies and why.
TEST(PracticeWindows, DepModeFromThePolicyValueAndWhatWindowsReports)
{
    EXPECT_TRUE(win::DepLeftToSystem(Policy(REG_DWORD, testing_support::DwordBytes(0))));
    EXPECT_FALSE(win::DepLeftToSystem(Policy(REG_DWORD, testing_support::DwordBytes(1))));
    EXPECT_FALSE(win::DepLeftToSystem(Policy(REG_SZ, std::string("0\0", 2)))) << "another type is ignored";
    EXPECT_FALSE(win::DepLeftToSystem(Policy(REG_BINARY, testing_support::DwordBytes(0))));
    EXPECT_FALSE(win::DepLeftToSystem(Policy(REG_DWORD, ""))) << "empty";
    EXPECT_FALSE(win::DepLeftToSystem(std::nullopt));

    struct Case {
        win::DepState state;
        const char* written;
        bool thunksOff;
    };
    const Case cases[] = {
        {{false, false, 0, PROCESS_DEP_ENABLE}, "DEP on, with thunk emulation (turned on at start)", false},
        {{false, true, 0, 0}, "DEP off (as the system sets it: policy value DataExecutionPrevention 0)", false},
        {{false, false, ERROR_ACCESS_DENIED, PROCESS_DEP_ENABLE | PROCESS_DEP_DISABLE_ATL_THUNK_EMULATION},
         "DEP on, without thunk emulation (as the system sets it: turning it on failed, 0x00000005)", true},
        {{false, false, 0, std::nullopt}, "DEP unknown (turned on at start)", false},
        {{true, false, 0, std::nullopt}, "DEP always on (64-bit)", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win::DescribeDep(c.state), c.written);
        EXPECT_EQ(win::ThunkEmulationOff(c.state), c.thunksOff) << c.written;
    }
}

// Only an access violation of the kind "execute" is named as DEP's, in the
// trail and in the box, with the policy value that lets such a control run.
TEST(PracticeWindows, CrashWordsNameAnExecuteFaultAsDeps)
{
    const trail::CrashFacts facts{"unknown module", 2, "C:\\Crashes\\Denoptix-1.0.0-x.dmp"};
    struct Case {
        DWORD code;
        DWORD parameters;
        ULONG_PTR kind;
        bool dep;
    };
    const Case cases[] = {
        {EXCEPTION_ACCESS_VIOLATION, 2, 8, true},  {EXCEPTION_ACCESS_VIOLATION, 2, 1, false},
        {EXCEPTION_ACCESS_VIOLATION, 2, 0, false}, {EXCEPTION_ACCESS_VIOLATION, 0, 8, false},
        {EXCEPTION_IN_PAGE_ERROR, 3, 8, false},    {EXCEPTION_ILLEGAL_INSTRUCTION, 0, 0, false},
    };
    for (const Case& c : cases) {
        EXCEPTION_RECORD record{};
        record.ExceptionCode = c.code;
        record.NumberParameters = c.parameters;
        record.ExceptionInformation[0] = c.kind;
        const std::string line = trail::CrashTrailLine(record, facts);
        const std::string box = trail::CrashBoxText(record, facts);
        SCOPED_TRACE(line);
        EXPECT_EQ(trail::IsExecuteFault(record), c.dep);
        EXPECT_EQ(Has(line, "code run from data memory, stopped by DEP; see the policy value DataExecutionPrevention"),
                  c.dep);
        EXPECT_EQ(Has(box, "run code from data memory") && Has(box, "policy value DataExecutionPrevention"), c.dep);
        EXPECT_TRUE(Has(line, " in unknown module; images not handed over 2; report C:\\Crashes\\"));
        EXPECT_TRUE(Has(box, "(2 images)."));
    }
}

}  // namespace
