#include "ChildProcess.h"

#include <fstream>
#include <sstream>

#include "win/Error.h"

namespace tooltest {

namespace {

// Quotes one argument the way the C runtime splits a command line: backslashes
// are literal unless they precede a double quote.
std::string QuoteArgument(const std::string& arg)
{
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

win::UniqueHandle OpenInheritableOutput(const std::string& path)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) win::ThrowLastError("Cannot open " + path);
    return win::UniqueHandle(file);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::string SiblingPath(const std::string& fileName)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + fileName;
}

TempFile::TempFile(const char* prefix)
{
    char folder[MAX_PATH];
    char file[MAX_PATH];
    win::CheckLastError(GetTempPathA(MAX_PATH, folder));
    win::CheckLastError(GetTempFileNameA(folder, prefix, 0, file));
    path_ = file;
}

TempFile::~TempFile()
{
    DeleteFileA(path_.c_str());
}

std::vector<std::string> TempFile::Lines() const
{
    std::vector<std::string> lines;
    std::istringstream text(ReadWholeFile(path_));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

bool WaitForLine(const TempFile& file, const std::string& line, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        for (const std::string& seen : file.Lines()) {
            if (seen == line) return true;
        }
        if (GetTickCount64() >= deadline) return false;
        Sleep(50);
    }
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::string& stdoutPath)
{
    std::string commandLine = QuoteArgument(program);
    for (const std::string& arg : args) commandLine += " " + QuoteArgument(arg);

    win::UniqueHandle output;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!stdoutPath.empty()) {
        output = OpenInheritableOutput(stdoutPath);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output.get();
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION info{};
    win::CheckLastError(CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, output ? TRUE : FALSE,
                                       0, nullptr, nullptr, &startup, &info),
                        "Cannot start " + program);
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
}

ChildProcess::~ChildProcess()
{
    if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
    }
}

std::optional<DWORD> ChildProcess::WaitExit(DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    const HANDLE process = process_.get();
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD remaining = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        const DWORD wait = MsgWaitForMultipleObjects(1, &process, FALSE, remaining, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) break;
        if (wait != WAIT_OBJECT_0 + 1) return std::nullopt;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return code;
}

ToolRun RunToEnd(const std::string& program, const std::vector<std::string>& args)
{
    const TempFile output("out");
    ToolRun run;
    {
        ChildProcess child(program, args, output.path());
        run.exitCode = child.WaitExit();
    }
    run.output = ReadWholeFile(output.path());
    return run;
}

}  // namespace tooltest
