#pragma once
// What each bridge tells the other bridges of its Windows session: its
// process and its folder, in a named mapping of the session's own ("Local")
// namespace. It is read and written under one named mutex, so two starts at
// the same moment cannot both find the session free.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "win/UniqueResource.h"

namespace app {

// Another bridge of this session that still runs.
struct RunningBridge {
    DWORD processId = 0;
    std::string folder;         // its tail, exactly as it was given
    win::UniqueHandle process;  // signalled once it has ended
};

class SessionRecord {
public:
    // Opens the record, making it for the first bridge of the session;
    // throws with the system's reason when it cannot.
    SessionRecord();

    // The bridge the record names, when it still runs. Otherwise this
    // process takes the record, for this folder, and nothing comes back.
    std::optional<RunningBridge> FindRunningOrClaim(std::string_view folder);

private:
    win::UniqueHandle mutex_;
    win::UniqueHandle mapping_;
    win::UniqueMappedView view_;
};

}  // namespace app
