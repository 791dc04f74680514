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

}  // namespace check
