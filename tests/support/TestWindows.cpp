#include "TestWindows.h"

#include <stdexcept>

#include "TestSupport.h"

namespace testing_support {

using namespace std::chrono_literals;

win::UniqueHwnd CreatePlainWindow()
{
    HWND window = CreateWindowExA(0, "STATIC", "test window", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) throw std::runtime_error("Cannot create a window");
    return win::UniqueHwnd(window);
}

std::string ClipboardText(HWND owner)
{
    if (!WaitUntil([&] { return OpenClipboard(owner) != FALSE; }, 2s))
        throw std::runtime_error("The clipboard stays held");
    std::string text = "<none>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool WaitUntilClipboardHeldBy(DWORD processId)
{
    // Wine's own clipboard bridge to X opens it now and then too: only the
    // given process counts.
    return WaitUntil(
        [&] {
            DWORD holder = 0;
            HWND window = GetOpenClipboardWindow();
            return window != nullptr && GetWindowThreadProcessId(window, &holder) != 0 && holder == processId;
        },
        20s);
}

}  // namespace testing_support
