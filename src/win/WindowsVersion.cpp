#include "win/WindowsVersion.h"

#include <windows.h>

namespace win {

// GetVersionEx answers what the manifest promises; ntdll tells the truth.
std::string WindowsVersion()
{
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    const auto getVersion = reinterpret_cast<RtlGetVersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    if (getVersion == nullptr || getVersion(&info) != 0) return "unknown";
    return std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion) + "." +
           std::to_string(info.dwBuildNumber);
}

bool IsWindows64Bit()
{
    if (sizeof(void*) == 8) return true;
    BOOL underWow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &underWow64) && underWow64;
}

}  // namespace win
