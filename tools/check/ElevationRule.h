#pragma once
// The check's verdict on a running receiver's elevation, next to its own.
// Windows refuses the bridge's messages to a receiver that runs as
// administrator when the bridge does not; the check stands in for a bridge
// started the way it was.
#include <optional>
#include <string>

#include "check/CheckReport.h"
#include "win/TokenFacts.h"

namespace check {

struct Finding {
    Outcome outcome;
    std::string text;  // what follows "<receiver> (window class ...): "
};

Finding CompareElevation(const std::optional<win::TokenFacts>& own, const std::optional<win::TokenFacts>& receiver);

// The same for a bridge that is open now: a bridge started as this check was
// cannot close one that runs as administrator when it is started for
// another patient's folder.
Finding CompareBridgeElevation(const std::optional<win::TokenFacts>& own, const std::optional<win::TokenFacts>& bridge);

}  // namespace check
