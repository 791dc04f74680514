// This machine: what support asks first, and how Windows runs the control.
#include <windows.h>

#include <string>
#include <vector>

#include "check/Checks.h"
#include "win/ProcessDep.h"
#include "win/WindowsVersion.h"

namespace check {

namespace {

struct Monitor {
    RECT bounds;
    bool primary;
    UINT dpi;
};

using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context)
{
    auto& monitors = *reinterpret_cast<std::vector<Monitor>*>(context);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    UINT dpi = 0;
    UINT ignored = 0;
    // shcore.dll has it from Windows 8.1 on; 0 is MDT_EFFECTIVE_DPI.
    static const auto getDpi = reinterpret_cast<GetDpiForMonitorFunction>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("shcore.dll"), "GetDpiForMonitor")));
    if (getDpi == nullptr || FAILED(getDpi(monitor, 0, &dpi, &ignored))) dpi = 0;
    monitors.push_back({info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0, dpi});
    return TRUE;
}

std::string Scaling(UINT dpi)
{
    if (dpi == 0) return "scaling unknown";
    std::string text = std::to_string(dpi) + " dpi (" + std::to_string(MulDiv(static_cast<int>(dpi), 100, 96)) + "%)";
    if (dpi > USER_DEFAULT_SCREEN_DPI)
        text += ": Windows enlarges the bridge with its scanner control as one picture";
    return text;
}

// The system's policy, and this check's own flags: it turned DEP on at its
// start as the bridge does, so they stand for the bridge's.
void CheckDep(CheckReport& report)
{
    report.Add(Outcome::Ok, "DEP, the system's policy: " + win::SystemDepPolicyName(GetSystemDEPPolicy()));
    const win::DepState& own = win::TurnOnDepOnce();
    if (win::ThunkEmulationOff(own))
        report.Add(Outcome::Warning, "this check, started as the bridge starts: " + win::DescribeDep(own) +
                                         "; a scanner control of the late 1990s that runs code "
                                         "from data memory would die as it creates its window; see Windows' "
                                         "exploit protection for Denoptix.exe, or the policy value " +
                                         win::kDepPolicyValue);
    else
        report.Add(Outcome::Ok, "this check, started as the bridge starts: " + win::DescribeDep(own));
}

}  // namespace

void CheckMachine(CheckReport& report)
{
    report.Section("This machine");
    report.Add(Outcome::Ok, "Windows " + win::WindowsVersion() + ", " + (win::IsWindows64Bit() ? "64-bit" : "32-bit") +
                                "; this check is the " + (sizeof(void*) == 8 ? "64-bit" : "32-bit") + " build");
    std::vector<Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) report.Add(Outcome::Warning, "no display found: the bridge needs one to show its window");
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const Monitor& monitor = monitors[i];
        report.Add(Outcome::Ok, "display " + std::to_string(i + 1) + (monitor.primary ? " (main)" : "") + ": " +
                                    std::to_string(monitor.bounds.right - monitor.bounds.left) + " x " +
                                    std::to_string(monitor.bounds.bottom - monitor.bounds.top) + " pixels, " +
                                    Scaling(monitor.dpi));
    }
    CheckDep(report);
}

}  // namespace check
