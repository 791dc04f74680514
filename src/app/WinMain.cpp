#include <windows.h>

// Placeholder entry until the application shell lands.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
