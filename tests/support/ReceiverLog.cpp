#include "ReceiverLog.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "Files.h"
#include "Waiting.h"
#include "receivers/ByteEscape.h"

namespace testing_support {

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

ReceiverLog::ReceiverLog(std::string path) : path_(std::move(path)) {}

ReceiverLog::~ReceiverLog() = default;

void ReceiverLog::Start(const std::string& windows, const std::string& extraArguments)
{
    const size_t readyBefore = ReadyCount();
    // The timeout only guards against a receiver outliving a crashed test.
    processes_.push_back(std::make_unique<ChildProcess>(
        "\"" + BinPath("DenoptixReceivers.exe") + "\" --windows " + windows + " --log \"" + path_ +
        "\" --timeout-ms 120000 " + extraArguments,
        ChildOptions::Quiet()));
    if (!WaitUntil([&] { return ReadyCount() > readyBefore; }, 30s))
        throw std::runtime_error("The receivers for " + windows + " did not get ready");
}

std::vector<Received> ReceiverLog::Messages() const
{
    std::vector<Received> messages;
    for (const std::string& line : ReadLines(path_)) {
        if (line != "ready") messages.push_back(ParseLine(line));
    }
    return messages;
}

size_t ReceiverLog::ReadyCount() const
{
    const std::vector<std::string> lines = ReadLines(path_);
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), "ready"));
}

}  // namespace testing_support
