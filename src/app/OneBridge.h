#pragma once
// One bridge per Windows session. The host starts the bridge once per
// patient; a bridge left open from the patient before would otherwise
// compete for the one scanner and could take the next patient's images into
// the last patient's folder. A start that finds another bridge open meets it
// before it makes any window of its own.
#include <memory>
#include <optional>
#include <string_view>

#include "app/SessionRecord.h"

namespace app {

struct SessionClaim {
    // Names this process to later starts; held until the process ends.
    // Null when the machine's policy lets several bridges run, or when the
    // record cannot be had (the trail says why).
    std::unique_ptr<SessionRecord> record;
    // Set when this start must end here, with this exit code.
    std::optional<int> exitCode;
};

// Another bridge for the same folder: it comes to the front and this start
// ends with 0. For another folder: the operator is asked whether to close it
// and start for the new folder; No ends this start with 1, Yes closes it as
// its close box would and waits up to 30 s for it to end, else says so and
// ends with 1. One that is busy with a box of its own, runs as administrator
// while this start does not, or is of another release is never asked to
// close: one box says what to do, and this start ends with 1. A bridge that
// ends meanwhile leaves the way free.
SessionClaim ClaimTheSession(std::string_view folder, bool elevated);

}  // namespace app
