#pragma once
// Programs built next to the tests, started as real processes with exact
// command lines and always ended when their owner goes away.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "win/UniqueResource.h"

namespace testing_support {

using namespace std::chrono_literals;

// The folder holding the test executable, the bridge and the stand-ins.
std::string BinDir();
// The full path of a program in that folder.
std::string BinPath(const std::string& fileName);

// Quotes one argument the way the C runtime splits a command line.
std::string QuoteArgument(const std::string& argument);
// The program and its arguments, each quoted.
std::string CommandLineOf(const std::string& program, const std::vector<std::string>& arguments);
// The same for a program in BinDir().
std::string BinCommandLine(const std::string& fileName, const std::vector<std::string>& arguments);

struct ChildOptions {
    std::string workingFolder;  // empty: the test's own
    std::string outputPath;     // stdout appended to this file; empty: the test's own
    // stdout and stderr thrown away: the stand-in receivers echo every line
    // they log, 100,000-name sets included, which would flood the test's output.
    bool quiet = false;

    static ChildOptions InFolder(std::string folder) { return {std::move(folder), {}, false}; }
    static ChildOptions OutputTo(std::string path) { return {{}, std::move(path), false}; }
    static ChildOptions Quiet() { return {{}, {}, true}; }
};

class ChildProcess {
public:
    explicit ChildProcess(const std::string& commandLine, const ChildOptions& options = {});
    // Ends the process if it still runs, so a failed test leaves nothing behind.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }
    bool Running() const;
    // The exit code, or nothing when it still runs after the timeout; this
    // thread's messages are handled meanwhile.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = 15s) const;

private:
    win::UniqueHandle process_;
    DWORD id_ = 0;
};

struct ToolRun {
    std::optional<DWORD> exitCode;
    std::string output;  // stdout, line breaks included
};

// Runs a program of the build to its end (bounded) and returns what it printed.
ToolRun RunToEnd(const std::string& fileName, const std::vector<std::string>& arguments);
// The same for any command line; nothing for an exit code when it still runs
// after `timeout`.
ToolRun RunCommandToEnd(const std::string& commandLine, std::chrono::milliseconds timeout = 15s);

}  // namespace testing_support
