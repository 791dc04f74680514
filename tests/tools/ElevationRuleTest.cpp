// The check's comparison of a running receiver's elevation with its own:
// only a receiver started the same way is ok, and a token it cannot read is
// a hint, not a pass.
#include <gtest/gtest.h>

#include <windows.h>

#include "check/ElevationRule.h"
#include "win/UniqueResource.h"

namespace {

using check::Outcome;
using win::TokenFacts;

TEST(ReceiverElevation, OkOnlyWhenBothAreStartedTheSameWay)
{
    const TokenFacts user{false, SECURITY_MANDATORY_MEDIUM_RID};
    const TokenFacts admin{true, SECURITY_MANDATORY_HIGH_RID};
    struct Case {
        const char* name;
        std::optional<TokenFacts> own, receiver;
        Outcome outcome;
        const char* says;
    };
    const Case cases[] = {
        {"neither elevated", user, user, Outcome::Ok, "running (not elevated, medium integrity), as this check"},
        {"both elevated", admin, admin, Outcome::Ok, "running (elevated, high integrity), as this check"},
        {"receiver elevated", user, admin, Outcome::Warning, "Windows refuses the messages of a bridge started as"},
        {"check elevated", admin, user, Outcome::Warning, "running, not as administrator (not elevated"},
        {"receiver's token closed", user, std::nullopt, Outcome::Warning, "cannot tell whether it runs as admin"},
        {"own token closed", std::nullopt, user, Outcome::Warning, "this check's own token cannot be read"},
    };
    for (const Case& c : cases) {
        const check::Finding finding = check::CompareElevation(c.own, c.receiver);
        EXPECT_EQ(finding.outcome, c.outcome) << c.name;
        EXPECT_NE(finding.text.find(c.says), std::string::npos) << c.name << ": " << finding.text;
        if (c.outcome == Outcome::Warning && c.own) {
            EXPECT_NE(finding.text.find("start both programs the same way"), std::string::npos) << c.name;
        }
    }
}

// A plain check meeting an elevated bridge stands for a plain second start:
// it is told that start cannot close that bridge.
TEST(ReceiverElevation, AnOpenBridgeIsComparedAsASecondStartWouldMeetIt)
{
    const TokenFacts user{false, SECURITY_MANDATORY_MEDIUM_RID};
    const TokenFacts admin{true, SECURITY_MANDATORY_HIGH_RID};
    struct Case {
        std::optional<TokenFacts> own, bridge;
        Outcome outcome;
        const char* says;
    } const cases[] = {
        {user, user, Outcome::Ok, "the open bridge runs not elevated, medium integrity, as this check"},
        {user, admin, Outcome::Warning, "the open bridge runs as administrator (elevated, high integrity), and this "
                                        "check does not: a bridge started as this check was cannot close it"},
        {user, std::nullopt, Outcome::Warning, "token is closed to this check, as an elevated bridge's is"},
        {admin, user, Outcome::Warning, "runs not as administrator (not elevated, medium integrity), while this"},
        {admin, std::nullopt, Outcome::Warning, "cannot tell whether the open bridge runs as administrator"},
    };
    for (const Case& c : cases) {
        const check::Finding finding = check::CompareBridgeElevation(c.own, c.bridge);
        EXPECT_EQ(finding.outcome, c.outcome) << finding.text;
        EXPECT_NE(finding.text.find(c.says), std::string::npos) << finding.text;
    }
}

TEST(ReceiverElevation, AWindowOfThisProcessHasThisProcessesToken)
{
    const win::UniqueHwnd window(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                                 GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(window);
    const auto own = win::ReadTokenFacts(GetCurrentProcess());
    const auto ofWindow = win::ReadTokenFactsOfWindow(window.get());
    ASSERT_TRUE(own.has_value());
    ASSERT_TRUE(ofWindow.has_value());
    EXPECT_EQ(ofWindow->elevated, own->elevated);
    EXPECT_EQ(ofWindow->integrity, own->integrity);
    EXPECT_FALSE(win::ReadTokenFactsOfWindow(nullptr).has_value()) << "no window, no facts";
}

}  // namespace
