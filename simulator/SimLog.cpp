#include "SimLog.h"

#include <windows.h>

#include "win/UniqueResource.h"

namespace sim {

void SimLog::Write(std::string_view line) const noexcept
{
    if (path_.empty()) return;
    try {
        std::string text(line);
        text += '\n';
        const HANDLE opened = CreateFileW(path_.c_str(), FILE_APPEND_DATA,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (opened == INVALID_HANDLE_VALUE) return;
        const win::UniqueHandle file(opened);
        DWORD written = 0;
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    } catch (...) {
    }
}

}  // namespace sim
