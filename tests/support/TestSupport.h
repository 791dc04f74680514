#pragma once
// Test helpers that drive real Win32 behaviour: processes started with exact
// command lines, bounded waits that keep messages flowing, temporary folders.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "win/UniqueResource.h"

namespace testing_support {

using namespace std::chrono_literals;

// The folder holding the test executable, the bridge and the stand-ins.
std::string BinDir();

// Pumps this thread's messages until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s);

// A child process started with an exact command line; killed if still
// running when the object goes away, so no test leaves one behind.
class ChildProcess {
public:
    explicit ChildProcess(const std::string& commandLine, const std::string& workingFolder = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }
    // The exit code, or nothing if it is still running after the timeout.
    bool WaitForExit(std::chrono::milliseconds timeout, DWORD& exitCode);
    bool Running() const;

private:
    win::UniqueHandle process_;
    DWORD id_ = 0;
};

// The top-level windows of a process with the given class (all if null).
std::vector<HWND> WindowsOfProcess(DWORD processId, const char* className);

std::string WindowText(HWND window);

// A fresh folder under %TEMP%, deleted with its content afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

std::string ReadFileBytes(const std::string& path);
std::vector<std::string> ReadLines(const std::string& path);
bool FolderExistsOnDisk(const std::string& path);

// Deletes HKCU\Software\Velt\Denoptix (the bridge's settings) in the test
// prefix, so each test starts from a first run.
void DeleteBridgeSettings();

// Sends one command to the stand-in control's window through its channel.
bool SendSimulatorCommand(HWND controlWindow, const std::string& command);

// Takes the stand-in control's registration away while the object lives:
// creating the control then fails as on a machine without the scanner.
class MissingControlRegistration {
public:
    MissingControlRegistration();
    ~MissingControlRegistration();
    MissingControlRegistration(const MissingControlRegistration&) = delete;
    MissingControlRegistration& operator=(const MissingControlRegistration&) = delete;
};

}  // namespace testing_support

namespace testing_support {

// A top-level window of the given class on a thread of its own, standing in
// for a receiver inside the test process; onMessage sees each registered
// bridge message (on that thread) before it returns.
class ReceiverWindowThread {
public:
    using Handler = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;
    ReceiverWindowThread(std::string className, Handler onMessage);
    ~ReceiverWindowThread();
    ReceiverWindowThread(const ReceiverWindowThread&) = delete;
    ReceiverWindowThread& operator=(const ReceiverWindowThread&) = delete;
    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Run();

    std::string className_;
    Handler onMessage_;
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
    win::UniqueHandle thread_;
    win::UniqueHandle ready_;
};

}  // namespace testing_support
