// The floor: the least a program can do for each thing the bridge is
// measured on. It shows one bare window, and on request puts text on the
// clipboard and sends the set's message to the two receivers, with exactly
// the calls the bridge makes for that.
#include <windows.h>

#include <string>

#include "BenchProtocol.h"
#include "FloorShared.h"

namespace {

std::string g_names;
UINT g_acqMessage = 0;

LRESULT OnCopyData(HWND window, const COPYDATASTRUCT& data)
{
    if (data.dwData == bench::kFloorLoadNames) {
        g_names.assign(static_cast<const char*>(data.lpData), data.cbData);
        return TRUE;
    }
    if (data.dwData != bench::kFloorHandOver || !bench::PutOnClipboard(window, g_names, {})) return FALSE;
    bench::SendToReceivers(g_acqMessage);
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
    if (!bench::RegisterFloorClass(instance, bench::kFloorWindowClass, FloorProc)) return 1;
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
