#pragma once
// The bridge as an operator and an integrator meet it: a separate process
// started with an exact command line, its window and controls found and
// driven from outside, its stand-in control scripted through the control's
// channel, its error boxes read and dismissed, its settings in the registry.
#include <windows.h>

#include <future>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "BridgeSettings.h"
#include "ChildProcess.h"
#include "Clipboard.h"
#include "Files.h"
#include "StandInControl.h"
#include "Waiting.h"
#include "WindowSearch.h"

namespace testing_support {

// "<folder of the tests>\Denoptix.exe" in quotes, one blank, then the tail.
std::string BridgeCommandLine(const std::string& tail);

class BridgeRun {
public:
    // Starts the bridge with exactly this command line; the variables hold
    // only for the start, so the stand-in control created inside reads them.
    explicit BridgeRun(const std::string& commandLine, const EnvironmentList& environment = {},
                       const std::string& workingFolder = {});

    DWORD Id() const { return process_->Id(); }
    HANDLE Handle() const { return process_->Handle(); }
    // The main window once it is visible, else null after the timeout.
    HWND WaitForForm(std::chrono::milliseconds timeout = 30s);
    HWND Form() const { return form_; }
    // A control of the main window at any depth, by control id.
    HWND Control(int id) const;
    HWND ScannerWindow() const;

    // Clicks a button or check box the way a mouse click does, without
    // waiting for what the click starts (it may open a box).
    void Click(int id) const;
    // Picks a list item as the operator does: the selection, then the
    // change notification to the list's parent.
    void Pick(int listId, int index) const;
    int Selection(int listId) const;
    bool Checked(int id) const;

    // One command to the stand-in control; waits until it has run.
    bool Command(const std::string& command) const;
    // The same, for a command that may end up waiting for an error box.
    std::future<bool> CommandInBackground(const std::string& command) const;

    // A visible error box of the bridge, else null after the timeout.
    HWND WaitForBox(std::chrono::milliseconds timeout = 20s) const;
    std::vector<HWND> VisibleBoxes() const;
    static std::string BoxText(HWND box);
    static void Dismiss(HWND box);
    // Presses one of the box's buttons (IDYES, IDNO, ...).
    static void Press(HWND box, int button);
    // Waits for the process to end, noting whether a box of it showed meanwhile.
    std::optional<DWORD> WaitForExitNoting(bool& boxShown, std::chrono::milliseconds timeout = 30s) const;

    // Asks the main window to close and returns the exit code, if the
    // process ended in time.
    std::optional<DWORD> CloseAndWait(std::chrono::milliseconds timeout = 30s);
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = 30s);

private:
    std::unique_ptr<ChildProcess> process_;
    HWND form_ = nullptr;
};

}  // namespace testing_support
