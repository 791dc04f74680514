#include "receivers/ReceiverLog.h"

#include <cstdio>

#include "win/Error.h"
#include "win/UniqueResource.h"

namespace receivers {

std::string FormatReceivedLine(std::string_view className, std::string_view messageName, WPARAM wParam,
                               LPARAM lParam, std::string_view clipboard)
{
    std::string line;
    line.append(className).append("\t").append(messageName);
    line.append("\twParam=").append(std::to_string(wParam));
    line.append("\tlParam=").append(std::to_string(lParam));
    line.append("\tclipboard=").append(clipboard);
    return line;
}

void ReceiverLog::Write(const std::string& line) const
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (path_.empty()) return;

    const HANDLE opened = CreateFileA(path_.c_str(), FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    const win::UniqueHandle file(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
    const std::string record = line + "\n";
    DWORD written = 0;
    if (!file ||
        !WriteFile(file.get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr)) {
        std::fprintf(stderr, "DenoptixReceivers: cannot write %s: %s\n", path_.c_str(),
                     win::SystemMessage(GetLastError()).c_str());
    }
}

}  // namespace receivers
