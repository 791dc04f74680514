#include "ChildProcess.h"

#include <stdexcept>

#include "Files.h"
#include "Waiting.h"

namespace testing_support {

namespace {

win::UniqueHandle OpenInheritable(const char* path, DWORD access, DWORD disposition)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file =
        CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error(std::string("cannot open ") + path);
    return win::UniqueHandle(file);
}

}  // namespace

std::string BinDir()
{
    char path[MAX_PATH * 4] = {};
    GetModuleFileNameA(nullptr, path, static_cast<DWORD>(sizeof path));
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string BinPath(const std::string& fileName) { return BinDir() + "\\" + fileName; }

std::string QuoteArgument(const std::string& argument)
{
    // Backslashes are literal unless they precede a double quote.
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (const char c : argument) {
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

std::string CommandLineOf(const std::string& program, const std::vector<std::string>& arguments)
{
    std::string line = QuoteArgument(program);
    for (const std::string& argument : arguments) line += " " + QuoteArgument(argument);
    return line;
}

std::string BinCommandLine(const std::string& fileName, const std::vector<std::string>& arguments)
{
    return CommandLineOf(BinPath(fileName), arguments);
}

ChildProcess::ChildProcess(const std::string& commandLine, const ChildOptions& options)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    win::UniqueHandle output;
    if (options.quiet || !options.outputPath.empty()) {
        output = options.quiet ? OpenInheritable("NUL", GENERIC_WRITE, OPEN_EXISTING)
                               : OpenInheritable(options.outputPath.c_str(), FILE_APPEND_DATA, OPEN_ALWAYS);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output.get();
        startup.hStdError = options.quiet ? output.get() : GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION info{};
    std::string line = commandLine;  // CreateProcessA may write into it
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, output ? TRUE : FALSE, 0, nullptr,
                        options.workingFolder.empty() ? nullptr : options.workingFolder.c_str(), &startup, &info))
        throw std::runtime_error("cannot start " + commandLine);
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess()
{
    if (Running()) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 10000);  // its windows are gone afterwards
    }
}

bool ChildProcess::Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

std::optional<DWORD> ChildProcess::WaitForExit(std::chrono::milliseconds timeout) const
{
    DWORD code = 0;
    if (!WaitUntil([this] { return !Running(); }, timeout) || !GetExitCodeProcess(process_.get(), &code))
        return std::nullopt;
    return code;
}

ToolRun RunToEnd(const std::string& fileName, const std::vector<std::string>& arguments)
{
    return RunCommandToEnd(BinCommandLine(fileName, arguments));
}

ToolRun RunCommandToEnd(const std::string& commandLine, std::chrono::milliseconds timeout)
{
    const TempFolder folder;
    const std::string output = folder.Path() + "\\output.txt";
    ToolRun run;
    {
        const ChildProcess child(commandLine, ChildOptions::OutputTo(output));
        run.exitCode = child.WaitForExit(timeout);
    }
    run.output = ReadFileBytes(output);
    return run;
}

}  // namespace testing_support
