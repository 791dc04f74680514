#pragma once
// The stand-in scanner control from outside: its WM_COPYDATA command
// channel, the environment it reads when created, and its log's strings.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testing_support {

using namespace std::chrono_literals;

inline constexpr ULONG_PTR kSimulatorChannel = 0x53584E44;  // 'DNXS'

// One WM_COPYDATA, bounded (a scan of 100,000 names takes a while); true
// when it was delivered and answered with a non-zero result.
bool SendCopyData(HWND target, ULONG_PTR code, std::string_view bytes, std::chrono::milliseconds timeout = 120s);
// One command to the control's window; true when the control carried it out.
bool SendSimulatorCommand(HWND controlWindow, std::string_view command);

using EnvironmentList = std::vector<std::pair<std::string, std::string>>;

// Variables set for one scope and put back as they were: the control reads
// its settings from the environment when it is created.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const EnvironmentList& variables);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// DllCanUnloadNow of the stand-in control loaded in this process: S_OK once
// no object of it is left alive (E_UNEXPECTED when it is not loaded).
HRESULT StandInCanUnloadNow();

// A quoted string value of the control's log ("C:\\x" -> C:\x), null BSTR as "null".
std::string SimLogString(const std::string& quoted);

}  // namespace testing_support
