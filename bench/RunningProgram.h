#pragma once
// A program under measurement, started as a separate process with an exact
// command line and ended with it.
#include <windows.h>

#include <string>
#include <string_view>

#include "win/UniqueResource.h"

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
    // Ends the program if Close() was not called or did not work.
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    double StartupMs() const { return startupMs_; }
    HWND MainWindow() const { return window_; }
    MemoryFigures Memory() const;
    // Asks the main window to close and waits for the process to end.
    void Close();

private:
    win::UniqueHandle process_;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
    double startupMs_ = 0;
};

// The first descendant of parent with that window class, or null.
HWND FindDescendant(HWND parent, const char* windowClass);

// One WM_COPYDATA, waited for up to two minutes (a scan of 100,000 names
// takes a while); throws when it is refused or fails. Wine refuses one of
// about 2 MiB or more between processes.
void SendCopyData(HWND target, ULONG_PTR code, std::string_view bytes);

}  // namespace bench
