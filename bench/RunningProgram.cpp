#include "RunningProgram.h"

#include <psapi.h>

#include <stdexcept>

#include "Clock.h"
#include "StandInControl.h"
#include "WindowSearch.h"

namespace bench {

namespace {

constexpr double kBytesPerMiB = 1024.0 * 1024.0;
constexpr DWORD kStartTimeoutMs = 30000;
constexpr UINT kCommandTimeoutMs = 120000;

HWND VisibleWindowOf(DWORD processId, const char* windowClass)
{
    const auto windows = testing_support::WindowsOfProcess(processId, windowClass, true);
    return windows.empty() ? nullptr : windows.front();
}

}  // namespace

RunningProgram::RunningProgram(const std::string& commandLine, const char* windowClass)
{
    const double start = NowMs();
    process_ = std::make_unique<testing_support::ChildProcess>(commandLine);
    // Polled every millisecond: finer than anything measured here.
    while ((window_ = VisibleWindowOf(process_->Id(), windowClass)) == nullptr) {
        if (NowMs() - start > kStartTimeoutMs || WaitForSingleObject(process_->Handle(), 1) == WAIT_OBJECT_0)
            throw std::runtime_error("no visible " + std::string(windowClass) + " window from " + commandLine);
    }
    startupMs_ = NowMs() - start;
}

MemoryFigures RunningProgram::Memory() const
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process_->Handle(), &counters, sizeof counters))
        throw std::runtime_error("GetProcessMemoryInfo failed");
    return {static_cast<double>(counters.PeakWorkingSetSize) / kBytesPerMiB,
            static_cast<double>(counters.PeakPagefileUsage) / kBytesPerMiB};
}

void RunningProgram::Close()
{
    PostMessageA(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_->Handle(), kStartTimeoutMs) != WAIT_OBJECT_0)
        throw std::runtime_error("the program did not end after WM_CLOSE");
}

void SendCopyData(HWND target, ULONG_PTR code, const std::string& bytes)
{
    if (!testing_support::SendCopyData(target, code, bytes, std::chrono::milliseconds(kCommandTimeoutMs)))
        throw std::runtime_error("WM_COPYDATA of " + std::to_string(bytes.size()) + " bytes failed or was refused (error " +
                                 std::to_string(GetLastError()) + "): " + bytes.substr(0, 40));
}

}  // namespace bench
