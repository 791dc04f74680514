#include "WindowSearch.h"

#include <functional>
#include <stdexcept>

namespace testing_support {

namespace {

// The first child at any depth for which matches() holds.
HWND FindChild(HWND parent, const std::function<bool(HWND)>& matches)
{
    struct Search {
        const std::function<bool(HWND)>& matches;
        HWND found;
    } search{matches, nullptr};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            if (!s.matches(window)) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

std::vector<HWND> WindowsOfProcess(DWORD processId, const char* className, bool visibleOnly)
{
    struct Search {
        DWORD processId;
        const char* className;
        bool visibleOnly;
        std::vector<HWND> found;
    } search{processId, className, visibleOnly, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s.processId && (s.className == nullptr || ClassOf(window) == s.className) &&
                (!s.visibleOnly || IsWindowVisible(window)))
                s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDescendant(HWND parent, int id)
{
    return FindChild(parent, [id](HWND window) { return GetDlgCtrlID(window) == id; });
}

HWND FindDescendant(HWND parent, const char* className)
{
    return FindChild(parent, [className](HWND window) { return ClassOf(window) == className; });
}

std::string WindowText(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

RECT RectInParent(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string ClassOf(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

win::UniqueHwnd CreatePlainWindow()
{
    HWND window = CreateWindowExA(0, "STATIC", "test window", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) throw std::runtime_error("cannot create a window");
    return win::UniqueHwnd(window);
}

}  // namespace testing_support
