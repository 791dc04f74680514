#include "ControlWindow.h"

#include <string>

#include "Module.h"
#include "SimText.h"
#include "win/Error.h"

namespace sim {

namespace {

constexpr UINT_PTR kPowerOnTimerId = 1;
// Posted to itself by PostFault: the fault then happens inside the control,
// in a message the host's own loop dispatches, as a real control's would.
constexpr UINT kFaultMessage = WM_APP + 0x0DE;
// Read through a volatile, so the compiler cannot see the null and turn the
// write into a trap of its own.
int* volatile g_nowhere = nullptr;
constexpr int kMargin = 2;
constexpr int kButtonHeight = 22;
constexpr int kLampSize = 10;

void RegisterWindowClassOnce(WNDPROC procedure)
{
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(ModuleInstance(), kWindowClassName, &existing)) return;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ModuleInstance();
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClassName;
    win::CheckLastError(RegisterClassExA(&windowClass), "RegisterClassEx");
}

COLORREF LampColour(short state)
{
    if (state == 6) return RGB(0, 170, 0);
    if (state == 0) return RGB(128, 128, 128);
    return RGB(230, 160, 0);
}

}  // namespace

const char* ControlWindow::StateText(short state) noexcept
{
    switch (state) {
    case 0: return "Spento";
    case 1: return "Avvio";
    case 3: return "Attesa";
    case 6: return "Pronto";
    default: return "Occupato";
    }
}

void ControlWindow::Create(HWND parent, const RECT& position, short state, bool enabled)
{
    Destroy();
    RegisterWindowClassOnce(&ControlWindow::Procedure);
    state_ = state;
    const DWORD style = (parent ? WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS
                                : WS_POPUP | WS_CLIPCHILDREN) |
                        (enabled ? 0 : WS_DISABLED);
    const DWORD exStyle = parent ? 0 : WS_EX_TOOLWINDOW;
    // Each control's window finds its object through the creation parameter.
    const HWND hwnd = CreateWindowExA(exStyle, kWindowClassName, StateText(state), style, position.left,
                                      position.top, position.right - position.left,
                                      position.bottom - position.top, parent, nullptr, ModuleInstance(), this);
    win::CheckLastError(hwnd, "CreateWindowEx");
}

void ControlWindow::Destroy() noexcept
{
    if (hwnd_) DestroyWindow(hwnd_);  // WM_NCDESTROY clears hwnd_
}

void ControlWindow::ShowState(short state) noexcept
{
    state_ = state;
    if (!hwnd_) return;
    SetWindowTextA(hwnd_, StateText(state));
    EnableWindow(GetDlgItem(hwnd_, kScanButtonId), state == 6);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void ControlWindow::StartTimer(UINT milliseconds) noexcept
{
    if (hwnd_) SetTimer(hwnd_, kPowerOnTimerId, milliseconds, nullptr);
}

void ControlWindow::StopTimer() noexcept
{
    if (hwnd_) KillTimer(hwnd_, kPowerOnTimerId);
}

LRESULT CALLBACK ControlWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    auto* self = reinterpret_cast<ControlWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<ControlWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        if (self->hwnd_ == hwnd) self->hwnd_ = nullptr;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT ControlWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_TIMER:
        if (wParam == kPowerOnTimerId) owner_.OnPowerOnTimer();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kScanButtonId && HIWORD(wParam) == BN_CLICKED) owner_.OnScanButton();
        return 0;
    case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case kFaultMessage:
        *g_nowhere = 1;
        return 0;
    default: return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

void ControlWindow::OnCreate() noexcept
{
    const HWND button = CreateWindowExA(0, "BUTTON", "Scan", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                        0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(kScanButtonId),
                                        ModuleInstance(), nullptr);
    if (button) SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    EnableWindow(button, state_ == 6);
    RECT client{};
    GetClientRect(hwnd_, &client);
    OnSize(client.right, client.bottom);
}

void ControlWindow::OnSize(int width, int /*height*/) noexcept
{
    // The button keeps inside the width even when docked 41 px wide.
    const int buttonWidth = width - 2 * kMargin > 0 ? width - 2 * kMargin : 0;
    MoveWindow(GetDlgItem(hwnd_, kScanButtonId), kMargin, kMargin, buttonWidth, kButtonHeight, TRUE);
}

void ControlWindow::OnPaint() noexcept
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(hwnd_, &paint);
    RECT client{};
    GetClientRect(hwnd_, &client);
    DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);

    const int middle = (client.left + client.right) / 2;
    const int lampTop = kMargin + kButtonHeight + 6;
    const HBRUSH lamp = CreateSolidBrush(LampColour(state_));
    const RECT lampRect{middle - kLampSize / 2, lampTop, middle + kLampSize / 2, lampTop + kLampSize};
    FillRect(dc, &lampRect, lamp);
    DeleteObject(lamp);

    RECT textRect{client.left + 1, lampRect.bottom + 4, client.right - 1, client.bottom - 1};
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, StateText(state_), -1, &textRect, DT_CENTER | DT_WORDBREAK | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    EndPaint(hwnd_, &paint);
}

bool ControlWindow::PostFault() noexcept { return hwnd_ && PostMessageA(hwnd_, kFaultMessage, 0, 0); }

LRESULT ControlWindow::OnCopyData(const COPYDATASTRUCT* data) noexcept
{
    if (!data || data->dwData != kCommandMagic) return FALSE;
    try {
        std::string_view text(static_cast<const char*>(data->lpData), data->lpData ? data->cbData : 0);
        // Senders may or may not count the terminating NUL.
        while (!text.empty() && text.back() == '\0') text.remove_suffix(1);
        return owner_.OnCommandText(FromUtf8(text)) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

}  // namespace sim
