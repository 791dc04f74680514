// The floor: the least a program can do for each thing the bridge is
// measured on. It shows one bare window, and on request puts text on the
// clipboard and sends the set's message to the two receivers, with exactly
// the calls the bridge makes for that.
#include <windows.h>

#include <cstring>
#include <string>

#include "BenchProtocol.h"
#include "win/UniqueResource.h"

namespace {

std::string g_names;
UINT g_acqMessage = 0;

bool PutOnClipboard(HWND owner, const std::string& text)
{
    for (int attempt = 0; !OpenClipboard(owner); ++attempt) {
        if (attempt == 8) return false;
        Sleep(40);
    }
    win::UniqueHglobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1));
    bool done = false;
    if (auto* bytes = block ? static_cast<char*>(GlobalLock(block.get())) : nullptr) {
        std::memcpy(bytes, text.c_str(), text.size() + 1);
        GlobalUnlock(block.get());
        done = EmptyClipboard() && SetClipboardData(CF_TEXT, block.get()) != nullptr;
        if (done) block.release();
    }
    CloseClipboard();
    return done;
}

void SendToReceiver(const char* windowClass)
{
    HWND target = FindWindowA(windowClass, nullptr);
    if (target == nullptr) return;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(target, g_acqMessage, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, bench::kSendTimeoutMs, &ignored);
}

LRESULT OnCopyData(HWND window, const COPYDATASTRUCT& data)
{
    if (data.dwData == bench::kFloorLoadNames) {
        g_names.assign(static_cast<const char*>(data.lpData), data.cbData);
        return TRUE;
    }
    if (data.dwData != bench::kFloorHandOver || !PutOnClipboard(window, g_names)) return FALSE;
    SendToReceiver(bench::kHostWindowClass);
    SendToReceiver(bench::kPhotoServerWindowClass);
    return TRUE;
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COPYDATA:
        return OnCopyData(window, *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_acqMessage = RegisterWindowMessageA(bench::kAcqMessageName);
    WNDCLASSEXA type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = FloorProc;
    type.hInstance = instance;
    type.hCursor = LoadCursor(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = bench::kFloorWindowClass;
    if (RegisterClassExA(&type) == 0) return 1;
    HWND window = CreateWindowExA(WS_EX_TOPMOST, bench::kFloorWindowClass, "Denoptix floor", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
