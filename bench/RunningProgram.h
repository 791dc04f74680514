#pragma once
// A program under measurement, started as a separate process with an exact
// command line and ended with it.
#include <windows.h>

#include <memory>
#include <string>

#include "ChildProcess.h"

namespace bench {

struct MemoryFigures {
    double peakWorkingSetMiB = 0;
    double peakPrivateMiB = 0;  // PeakPagefileUsage: the process's committed private bytes
};

class RunningProgram {
public:
    // Starts the program and waits until its main window (of windowClass) is
    // visible; StartupMs() is the time from just before CreateProcessA.
    RunningProgram(const std::string& commandLine, const char* windowClass);
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    double StartupMs() const { return startupMs_; }
    HWND MainWindow() const { return window_; }
    MemoryFigures Memory() const;
    // Asks the main window to close and waits for the process to end.
    void Close();

private:
    // Ended with the object if Close() was not called or did not work.
    std::unique_ptr<testing_support::ChildProcess> process_;
    HWND window_ = nullptr;
    double startupMs_ = 0;
};

// One WM_COPYDATA, waited for up to two minutes (a scan of 100,000 names
// takes a while); throws when it is refused or fails. Wine refuses one of
// about 2 MiB or more between processes.
void SendCopyData(HWND target, ULONG_PTR code, const std::string& bytes);

}  // namespace bench
