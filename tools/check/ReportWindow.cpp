#include "check/ReportWindow.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "host/Clipboard.h"
#include "win/ComRuntime.h"
#include "win/Error.h"
#include "win/UniqueResource.h"

namespace check {

namespace {

constexpr char kClassName[] = "DenoptixCheckReport";
constexpr int kCopyId = 1;
constexpr int kSaveId = 2;
constexpr int kTextId = 3;

struct WindowState {
    const std::string* report = nullptr;
    const std::string* fileName = nullptr;
    HWND text = nullptr;
    HWND copy = nullptr;
    HWND save = nullptr;
    UINT dpi = USER_DEFAULT_SCREEN_DPI;
    win::UniqueGdiObject font;
};

int Scaled(const WindowState& state, int pixels)
{
    return MulDiv(pixels, static_cast<int>(state.dpi), USER_DEFAULT_SCREEN_DPI);
}

void CopyReport(HWND window, const std::string& report)
{
    try {
        host::PutTextOnClipboard(window, report);
    } catch (const win::Error& error) {
        MessageBoxA(window, error.what(), "Denoptix check", MB_OK | MB_ICONERROR);
    }
}

void SaveReport(HWND window, const std::string& report, const std::string& suggested)
{
    char path[MAX_PATH] = {};
    suggested.copy(path, MAX_PATH - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = "Text files (*.txt)\0*.txt\0All files\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = "txt";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&dialog)) return;
    const HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool saved = file != INVALID_HANDLE_VALUE &&
                       WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr) &&
                       written == report.size();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!saved)
        MessageBoxA(window, ("The report could not be saved: " + win::SystemMessage(GetLastError())).c_str(),
                    "Denoptix check", MB_OK | MB_ICONERROR);
}

void Layout(const WindowState& state, int width, int height)
{
    const int margin = Scaled(state, 8);
    const int buttonWidth = Scaled(state, 80);
    const int buttonHeight = Scaled(state, 25);
    const int buttonsTop = height - margin - buttonHeight;
    MoveWindow(state.text, margin, margin, width - 2 * margin, buttonsTop - 2 * margin, TRUE);
    MoveWindow(state.copy, width - 2 * (margin + buttonWidth), buttonsTop, buttonWidth, buttonHeight, TRUE);
    MoveWindow(state.save, width - margin - buttonWidth, buttonsTop, buttonWidth, buttonHeight, TRUE);
}

HWND Child(HWND parent, const char* className, const char* text, DWORD style, int id)
{
    return CreateWindowExA(className == std::string("EDIT") ? WS_EX_CLIENTEDGE : 0, className, text,
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

void Create(HWND window, WindowState& state)
{
    state.dpi = GetDpiForWindow(window);
    LOGFONTA face{};
    face.lfHeight = -Scaled(state, 13);
    face.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;  // any fixed font where Consolas is missing
    std::strcpy(face.lfFaceName, "Consolas");
    state.font.reset(CreateFontIndirectA(&face));
    state.text = Child(window, "EDIT", state.report->c_str(),
                       ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL, kTextId);
    state.copy = Child(window, "BUTTON", "Copy", BS_PUSHBUTTON, kCopyId);
    state.save = Child(window, "BUTTON", "Save", BS_DEFPUSHBUTTON, kSaveId);
    for (HWND control : {state.text, state.copy, state.save})
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(state.font.get()), FALSE);
    RECT client{};
    GetClientRect(window, &client);
    Layout(state, client.right, client.bottom);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        state = static_cast<WindowState*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    }
    if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE: Create(window, *state); return 0;
    case WM_SIZE: Layout(*state, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kCopyId) CopyReport(window, *state->report);
        if (LOWORD(wParam) == kSaveId) SaveReport(window, *state->report, *state->fileName);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

void ShowReportWindow(const std::string& report, const std::string& suggestedFileName)
{
    // Save's dialog needs COM on this thread, which may be the watcher's.
    const win::ComRuntime com;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExA(&windowClass);
    WindowState state;
    state.report = &report;
    state.fileName = &suggestedFileName;
    const UINT dpi = GetDpiForSystem();
    const HWND window = win::CheckLastError(
        CreateWindowExA(0, kClassName, "Denoptix workstation check", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, MulDiv(760, static_cast<int>(dpi), 96), MulDiv(520, static_cast<int>(dpi), 96),
                        nullptr, nullptr, GetModuleHandleA(nullptr), &state),
        "The report window");
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace check
