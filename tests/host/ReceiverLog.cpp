#include "ReceiverLog.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "receivers/ByteEscape.h"

namespace hosttest {

namespace {

using namespace std::chrono_literals;

std::string AfterPrefix(const std::string& field, const std::string& prefix)
{
    if (field.rfind(prefix, 0) != 0) throw std::runtime_error("Unexpected log field: " + field);
    return field.substr(prefix.size());
}

Received ParseLine(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
    if (fields.size() != 5) throw std::runtime_error("Unexpected log line: " + line);
    Received received;
    received.windowClass = fields[0];
    received.message = fields[1];
    received.wParam = std::stoll(AfterPrefix(fields[2], "wParam="));
    received.lParam = std::stoll(AfterPrefix(fields[3], "lParam="));
    const std::string clipboard = AfterPrefix(fields[4], "clipboard=");
    received.clipboard = clipboard == "<none>" ? clipboard : receivers::UnescapeBytes(clipboard);
    return received;
}

}  // namespace

// Like testing_support::ChildProcess, but without a console: a receiver
// echoes every line it logs, a 100,000-name set included, and that would
// flood the test's own output.
class ReceiverLog::Process {
public:
    explicit Process(std::string commandLine)
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                            nullptr, &startup, &info))
            throw std::runtime_error("Cannot start " + commandLine);
        CloseHandle(info.hThread);
        process_.reset(info.hProcess);
    }
    ~Process()
    {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 10000);  // its windows are gone afterwards
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

private:
    win::UniqueHandle process_;
};

ReceiverLog::ReceiverLog(std::string path) : path_(std::move(path)) {}

ReceiverLog::~ReceiverLog() = default;

void ReceiverLog::Start(const std::string& windows, const std::string& extraArguments)
{
    const size_t readyBefore = ReadyCount();
    // The timeout only guards against a receiver outliving a crashed test.
    processes_.push_back(std::make_unique<Process>(
        "\"" + testing_support::BinDir() + "\\DenoptixReceivers.exe\" --windows " + windows + " --log \"" + path_ +
        "\" --timeout-ms 120000 " + extraArguments));
    if (!testing_support::WaitUntil([&] { return ReadyCount() > readyBefore; }, 30s))
        throw std::runtime_error("The receivers for " + windows + " did not get ready");
}

std::vector<Received> ReceiverLog::Messages() const
{
    std::vector<Received> messages;
    for (const std::string& line : testing_support::ReadLines(path_)) {
        if (line != "ready") messages.push_back(ParseLine(line));
    }
    return messages;
}

size_t ReceiverLog::ReadyCount() const
{
    const std::vector<std::string> lines = testing_support::ReadLines(path_);
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), "ready"));
}

}  // namespace hosttest
