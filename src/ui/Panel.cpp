#include "ui/Panel.h"

#include "win/WindowClass.h"

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
    win::RegisterWindowClassOnce(instance, kPanelClassName, PanelProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

}  // namespace ui
