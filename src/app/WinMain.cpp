#include <windows.h>

#include "app/Application.h"
#include "win/ProcessDep.h"

// The C runtime's own command-line split is not used: the tail is cut from
// the process command line by the bridge's own rule.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Before anything of the scanner's control can be loaded.
    win::TurnOnDepOnce();
    return app::StartProcess(instance);
}
