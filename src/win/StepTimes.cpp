#include "win/StepTimes.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace win {

namespace {

// Empty when no file was asked for; read once, at the first mark.
const std::string& StepFile()
{
    static const std::string path = [] {
        char buffer[MAX_PATH] = {};
        const DWORD length = GetEnvironmentVariableA("DENOPTIX_STEP_TIMES", buffer, sizeof buffer);
        return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
    }();
    return path;
}

ULONGLONG Ticks(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

double MillisecondsSinceProcessStart()
{
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    return static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0;  // 100 ns ticks
}

}  // namespace

void MarkStep(const char* step) noexcept
{
    try {
        if (StepFile().empty()) return;
        char line[128];
        const int length = std::snprintf(line, sizeof line, "%s\t%.2f\n", step, MillisecondsSinceProcessStart());
        HANDLE file = CreateFileA(StepFile().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        if (length > 0) WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
        CloseHandle(file);
    } catch (...) {
        // A benchmark aid never stops the bridge.
    }
}

}  // namespace win
