#include "RunningProgram.h"

#include <psapi.h>

#include <stdexcept>

#include "Clock.h"

namespace bench {

namespace {

constexpr double kBytesPerMiB = 1024.0 * 1024.0;
constexpr DWORD kStartTimeoutMs = 30000;
constexpr UINT kCommandTimeoutMs = 120000;

HWND VisibleWindowOf(DWORD processId, const char* windowClass)
{
    struct Search {
        DWORD processId;
        const char* windowClass;
        HWND found;
    } search{processId, windowClass, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (owner != s.processId || lstrcmpA(name, s.windowClass) != 0 || !IsWindowVisible(window)) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

RunningProgram::RunningProgram(const std::string& commandLine, const char* windowClass)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;  // CreateProcessA may write into it
    const double start = NowMs();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        throw std::runtime_error("cannot start " + commandLine);
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    processId_ = info.dwProcessId;
    // Polled every millisecond: finer than anything measured here.
    while ((window_ = VisibleWindowOf(processId_, windowClass)) == nullptr) {
        if (NowMs() - start > kStartTimeoutMs || WaitForSingleObject(process_.get(), 1) == WAIT_OBJECT_0)
            throw std::runtime_error("no visible " + std::string(windowClass) + " window from " + commandLine);
    }
    startupMs_ = NowMs() - start;
}

RunningProgram::~RunningProgram()
{
    if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
    }
}

MemoryFigures RunningProgram::Memory() const
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process_.get(), &counters, sizeof counters))
        throw std::runtime_error("GetProcessMemoryInfo failed");
    return {static_cast<double>(counters.PeakWorkingSetSize) / kBytesPerMiB,
            static_cast<double>(counters.PeakPagefileUsage) / kBytesPerMiB};
}

void RunningProgram::Close()
{
    PostMessageA(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.get(), kStartTimeoutMs) != WAIT_OBJECT_0)
        throw std::runtime_error("the program did not end after WM_CLOSE");
}

HWND FindDescendant(HWND parent, const char* windowClass)
{
    HWND found = FindWindowExA(parent, nullptr, windowClass, nullptr);
    for (HWND child = GetWindow(parent, GW_CHILD); found == nullptr && child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        found = FindDescendant(child, windowClass);
    return found;
}

void SendCopyData(HWND target, ULONG_PTR code, std::string_view bytes)
{
    COPYDATASTRUCT data{};
    data.dwData = code;
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = const_cast<char*>(bytes.data());
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                             kCommandTimeoutMs, &result))
        throw std::runtime_error("WM_COPYDATA of " + std::to_string(bytes.size()) + " bytes failed (error " +
                                 std::to_string(GetLastError()) + "): " + std::string(bytes.substr(0, 40)));
    if (result == 0) throw std::runtime_error("WM_COPYDATA refused: " + std::string(bytes.substr(0, 40)));
}

}  // namespace bench
