#include "check/ElevationRule.h"

namespace check {

namespace {
constexpr char kRemedy[] = "start both programs the same way, both as administrator or neither";
}

Finding CompareElevation(const std::optional<win::TokenFacts>& own, const std::optional<win::TokenFacts>& receiver)
{
    if (!own)
        return {Outcome::Warning, "running; cannot tell whether it runs as administrator: this check's own token "
                                  "cannot be read"};
    if (!receiver)
        return {Outcome::Warning,
                "running; cannot tell whether it runs as administrator: its program's token cannot be read, which "
                "is usual for a program run as administrator seen from one that is not. If it is, Windows refuses "
                "the bridge's messages to it: " + std::string(kRemedy)};
    const std::string facts = " (" + win::DescribeToken(receiver) + ")";
    if (receiver->elevated == own->elevated)
        return {Outcome::Ok, "running" + facts + ", as this check"};
    if (receiver->elevated)
        return {Outcome::Warning, "running as administrator" + facts + ", and this check is not: Windows refuses "
                                  "the messages of a bridge started as this check was; " + kRemedy};
    return {Outcome::Warning, "running, not as administrator" + facts + ", while this check is: a bridge run as "
                              "administrator still reaches it, but the two are started differently; " + kRemedy};
}

Finding CompareBridgeElevation(const std::optional<win::TokenFacts>& own, const std::optional<win::TokenFacts>& bridge)
{
    constexpr char kStartSame[] = "start Denoptix the same way every time, as its host is started";
    if (own && bridge && bridge->elevated == own->elevated)
        return {Outcome::Ok, "the open bridge runs " + win::DescribeToken(bridge) + ", as this check"};
    if (own && bridge && !bridge->elevated)
        return {Outcome::Warning, "the open bridge runs not as administrator (" + win::DescribeToken(bridge) +
                                      "), while this check is; " + kStartSame};
    if (own && own->elevated)
        return {Outcome::Warning, "cannot tell whether the open bridge runs as administrator: its token cannot be "
                                  "read"};
    return {Outcome::Warning,
            std::string(bridge ? "the open bridge runs as administrator (" + win::DescribeToken(bridge) + ")"
                               : "the open bridge's token is closed to this check, as an elevated bridge's is") +
                ", and this check does not: a bridge started as this check was cannot close it for another "
                "patient's folder, and says so instead; " + kStartSame};
}

}  // namespace check
