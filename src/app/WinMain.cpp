#include <windows.h>

#include "app/Application.h"

// The C runtime's own command-line split is not used: the tail is cut from
// the process command line by the bridge's own rule.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return app::StartProcess(instance);
}
