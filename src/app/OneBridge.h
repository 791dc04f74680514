#pragma once
// One bridge per Windows session. The host starts the bridge once per
// patient; a bridge left open from the patient before would otherwise
// compete for the one scanner and could take the next patient's images into
// the last patient's folder. A start that finds another bridge running
// settles with it before it makes any window of its own.
#include <memory>
#include <optional>
#include <string_view>

#include "app/SessionRecord.h"

namespace app {

struct StartClearance {
    // Names this process to later starts; held until the process ends.
    // Null when the machine's policy lets several bridges run.
    std::unique_ptr<SessionRecord> record;
    // Set when this start must end here, with this exit code.
    std::optional<int> exitCode;
};

// Another bridge for the same folder: it comes to the front and this start
// ends with 0. For another folder: the operator is asked whether to close it
// and start for the new folder; No ends this start with 1, Yes closes it as
// its close box would and waits up to 30 s for it to end, else says so and
// ends with 1. A bridge that ends meanwhile leaves the way free.
StartClearance ClearTheStart(std::string_view folder);

}  // namespace app
