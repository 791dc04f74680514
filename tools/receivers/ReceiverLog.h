#pragma once
// Where the stand-ins report what they received: stdout, and optionally a file
// that another process reads while the stand-in runs.
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace receivers {

// <class>\t<message name>\twParam=<decimal>\tlParam=<decimal>\tclipboard=<bytes>
std::string FormatReceivedLine(std::string_view className, std::string_view messageName, WPARAM wParam,
                               LPARAM lParam, std::string_view clipboard);

class ReceiverLog {
public:
    explicit ReceiverLog(std::string path) : path_(std::move(path)) {}

    // Writes the line and a line break to stdout (flushed) and appends it to
    // the file, which is opened and closed again for each line so a reader
    // never waits on a buffer. A file failure is reported on stderr only.
    void Write(const std::string& line) const;

private:
    std::string path_;
};

}  // namespace receivers
