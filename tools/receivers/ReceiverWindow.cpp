#include "receivers/ReceiverWindow.h"

#include <cstdio>
#include <exception>

#include "receivers/ClipboardText.h"
#include "receivers/ReceiverLog.h"
#include "win/Error.h"

namespace receivers {

namespace {

constexpr char kDeleteResourceName[] = "WM_DELETE_RESOURCE";
constexpr char kAcqDenoptixName[] = "WM_ACQ_DENOPTIX";
constexpr SIZE kWindowSize{300, 120};
// The bridge's main window, as a receiver that closes it would find it.
constexpr char kBridgeWindowClass[] = "TForm1";

void RegisterWindowClass(const char* className, WNDPROC procedure)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        win::ThrowLastError(std::string("Cannot register window class ") + className);
}

// The log line, one field per row, so it fits the small window.
std::string LineForDisplay(const std::string& line)
{
    std::string shown;
    for (const char c : line) shown += c == '\t' ? std::string("\r\n") : std::string(1, c);
    return shown;
}

}  // namespace

ProtocolMessages RegisterProtocolMessages()
{
    ProtocolMessages messages;
    messages.deleteResource = win::CheckLastError(RegisterWindowMessageA(kDeleteResourceName), kDeleteResourceName);
    messages.acqDenoptix = win::CheckLastError(RegisterWindowMessageA(kAcqDenoptixName), kAcqDenoptixName);
    return messages;
}

ReceiverWindow::ReceiverWindow(ReceiverSetup setup, ProtocolMessages messages, LineSink sink)
    : setup_(std::move(setup)), messages_(messages), sink_(std::move(sink))
{
    RegisterWindowClass(setup_.className, Trampoline);
    const HWND window = CreateWindowExA(0, setup_.className, setup_.title.c_str(), WS_OVERLAPPEDWINDOW,
                                        setup_.position.x, setup_.position.y, kWindowSize.cx, kWindowSize.cy,
                                        nullptr, nullptr, GetModuleHandleA(nullptr), this);
    window_.reset(win::CheckLastError(window, std::string("Cannot create window ") + setup_.className));
    // Shown without taking the focus from whatever the operator is using.
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
}

LRESULT CALLBACK ReceiverWindow::Trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ReceiverWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    return self->HandleMessage(window, message, wParam, lParam);
}

LRESULT ReceiverWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        // Registered identifiers are only known at run time, so no case labels.
        if (message == messages_.deleteResource)
            return OnProtocolMessage(window, kDeleteResourceName, wParam, lParam);
        if (message == messages_.acqDenoptix) return OnProtocolMessage(window, kAcqDenoptixName, wParam, lParam);
        switch (message) {
        case WM_CREATE: OnCreate(window); return 0;
        case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return 0;
        case WM_CLOSE: PostQuitMessage(0); return 0;
        default: break;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "DenoptixReceivers: %s: %s\n", setup_.className, e.what());
        std::fflush(stderr);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT ReceiverWindow::OnProtocolMessage(HWND window, const char* name, WPARAM wParam, LPARAM lParam)
{
    const std::string clipboard = DescribeClipboard(ReadClipboardText(window));
    const std::string line = FormatReceivedLine(setup_.className, name, wParam, lParam, clipboard);
    ShowLine(line);
    sink_(line);
    if (setup_.clipboardAfter) WriteClipboardText(window, *setup_.clipboardAfter);
    CloseTheBridge();
    // A receiver that does not answer: the sender sees it hung, the log already has the line.
    if (setup_.hangMs) Sleep(setup_.hangMs);
    return setup_.result;
}

void ReceiverWindow::CloseTheBridge() const
{
    if (setup_.closeBridge == CloseBridge::No) return;
    HWND bridge = FindWindowA(kBridgeWindowClass, nullptr);
    if (bridge == nullptr) return;
    if (setup_.closeBridge == CloseBridge::Send) SendMessageA(bridge, WM_CLOSE, 0, 0);
    else PostMessageA(bridge, WM_CLOSE, 0, 0);
}

void ReceiverWindow::OnCreate(HWND window)
{
    label_ = CreateWindowExA(0, "STATIC", "Waiting for WM_ACQ_DENOPTIX or WM_DELETE_RESOURCE",
                             WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, window, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    win::CheckLastError(label_, "Cannot create label");
    SendMessageA(label_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

void ReceiverWindow::OnSize(int width, int height)
{
    if (label_) MoveWindow(label_, 4, 4, width - 8, height - 8, TRUE);
}

void ReceiverWindow::ShowLine(const std::string& line)
{
    if (label_) SetWindowTextA(label_, LineForDisplay(line).c_str());
}

}  // namespace receivers
