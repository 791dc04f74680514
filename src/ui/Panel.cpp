#include "ui/Panel.h"

#include "win/Error.h"

namespace ui {

namespace {

LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        return SendMessageA(GetParent(hwnd), message, wParam, lParam);
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        RECT client;
        GetClientRect(hwnd, &client);
        DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
        EndPaint(hwnd, &paint);
        return 0;
    }
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

void RegisterPanelClass(HINSTANCE instance)
{
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, kPanelClassName, &existing)) return;
    WNDCLASSEXA panel{};
    panel.cbSize = sizeof panel;
    panel.lpfnWndProc = PanelProc;
    panel.hInstance = instance;
    panel.hCursor = LoadCursor(nullptr, IDC_ARROW);
    panel.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    panel.lpszClassName = kPanelClassName;
    win::CheckLastError(RegisterClassExA(&panel), "RegisterClassEx");
}

}  // namespace ui
