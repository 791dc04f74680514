#pragma once
// What a start does about a bridge already open in its Windows session,
// decided from plain facts, and the words it shows the operator. The
// operator reads Italian in the bridge's window, so the boxes of a second
// start are Italian too; the trail stays English.
#include <string>
#include <string_view>

namespace app {

struct OpenBridgeFacts {
    bool otherVersion = false;  // its record is of a layout this release does not read
    bool sameFolder = false;
    // Runs as administrator while this start does not, or its process is
    // closed to this one: Windows drops what this start would post to it.
    bool beyondReach = false;
    bool busy = false;  // its window is disabled: a box or dialog of its own is up
};

enum class OpenBridgeStep {
    BringForward,          // same folder: it comes to the front, this start ends with 0
    AskToReplace,          // the operator decides whether it closes for the new folder
    ExplainAdministrator,  // one box: close it by its own close box; ends with 1
    ExplainBusy,           // to the front, one box: answer it there first; ends with 1
    ExplainOtherVersion,   // one box: close it; ends with 1
};

OpenBridgeStep StepWith(const OpenBridgeFacts& facts);

// The boxes' texts; the folders are shown as the bridge would use them.
std::wstring ReplaceQuestion(std::string_view openFolder, std::string_view newFolder);
std::wstring NotClosedInTime(std::string_view openFolder);
std::wstring RunsAsAdministrator(std::string_view openFolder, std::string_view newFolder);
std::wstring WaitsForAnswer(std::string_view openFolder, std::string_view newFolder);
std::wstring OtherVersionOpen();

}  // namespace app
