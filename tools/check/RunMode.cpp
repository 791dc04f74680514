#include "check/RunMode.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace check {

namespace {

bool QuietAsked(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (lstrcmpiA(argv[i], "/quiet") == 0 || lstrcmpiA(argv[i], "-quiet") == 0) return true;
        throw std::invalid_argument(std::string("unknown argument '") + argv[i] + "'; the only one is /quiet");
    }
    return false;
}

// Session 0 holds the services, and a window station without WSF_VISIBLE
// has no screen: no one could ever see a window there.
bool OnAnInteractiveDesktop()
{
    DWORD session = 0;
    if (ProcessIdToSessionId(GetCurrentProcessId(), &session) && session == 0) return false;
    USEROBJECTFLAGS flags{};
    const HWINSTA station = GetProcessWindowStation();
    if (station == nullptr ||
        !GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, nullptr))
        return true;  // cannot tell: a window that nobody sees is the lesser harm than none where one is wanted
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace

RunMode RunModeFor(const Surroundings& surroundings)
{
    if (surroundings.quietAsked) return RunMode::Quiet;
    if (surroundings.outputRedirected) return RunMode::Console;
    if (!surroundings.interactiveDesktop || !surroundings.hasConsole) return RunMode::Quiet;
    if (!surroundings.consoleOfItsOwn) return RunMode::Console;
    return surroundings.consoleVisible ? RunMode::Window : RunMode::Quiet;
}

RunMode RunModeOf(int argc, char** argv)
{
    Surroundings surroundings;
    surroundings.quietAsked = QuietAsked(argc, argv);
    const DWORD output = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE));
    surroundings.outputRedirected = output == FILE_TYPE_DISK || output == FILE_TYPE_PIPE;
    surroundings.interactiveDesktop = OnAnInteractiveDesktop();
    DWORD processes[2] = {};
    const DWORD sharing = GetConsoleProcessList(processes, 2);
    surroundings.hasConsole = sharing > 0;
    surroundings.consoleOfItsOwn = sharing == 1;
    const HWND console = GetConsoleWindow();
    surroundings.consoleVisible = console != nullptr && IsWindowVisible(console);
    return RunModeFor(surroundings);
}

}  // namespace check
