#pragma once
// Test helpers: programs next to the test executable started as real
// processes, always ended when the test ends, and files they write.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "win/UniqueResource.h"

namespace tooltest {

// The full path of a program built next to this test executable.
std::string SiblingPath(const std::string& fileName);

// A fresh empty file in the temporary folder, deleted again on destruction.
class TempFile {
public:
    explicit TempFile(const char* prefix);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }
    std::vector<std::string> Lines() const;

private:
    std::string path_;
};

// Polls until the file has a line equal to `line`; false after timeoutMs.
bool WaitForLine(const TempFile& file, const std::string& line, DWORD timeoutMs = 15000);

class ChildProcess {
public:
    // Starts program with args (quoted as the C runtime splits them); stdout
    // goes to stdoutPath when given.
    ChildProcess(const std::string& program, const std::vector<std::string>& args, const std::string& stdoutPath = {});
    // Ends the process if it still runs, so a failed test leaves nothing behind.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The exit code, or nothing when it still runs after timeoutMs. Sent
    // messages to this thread's windows are handled meanwhile.
    std::optional<DWORD> WaitExit(DWORD timeoutMs = 15000);

private:
    win::UniqueHandle process_;
};

struct ToolRun {
    std::optional<DWORD> exitCode;
    std::string output;  // stdout, line breaks included
};

// Runs a program to its end (bounded) and returns its exit code and stdout.
ToolRun RunToEnd(const std::string& program, const std::vector<std::string>& args);

}  // namespace tooltest
