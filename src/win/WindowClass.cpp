#include "win/WindowClass.h"

#include "win/Error.h"

namespace win {

void RegisterWindowClassOnce(HINSTANCE instance, const char* className, WNDPROC procedure, HBRUSH background)
{
    WNDCLASSEXA type{};
    type.cbSize = sizeof type;
    if (GetClassInfoExA(instance, className, &type)) return;
    type.lpfnWndProc = procedure;
    type.hInstance = instance;
    type.hCursor = LoadCursor(nullptr, IDC_ARROW);
    type.hbrBackground = background;
    type.lpszClassName = className;
    CheckLastError(RegisterClassExA(&type), "RegisterClassEx");
}

}  // namespace win
