#include "WindowSearch.h"

#include <functional>
#include <stdexcept>

namespace testing_support {

namespace {

struct ChildSearch {
    const std::function<bool(HWND)>& matches;
    HWND found;
};

BOOL CALLBACK CheckChild(HWND window, LPARAM context)
{
    auto& search = *reinterpret_cast<ChildSearch*>(context);
    if (!search.matches(window)) return TRUE;
    search.found = window;
    return FALSE;
}

// The first child at any depth for which matches() holds.
HWND FindChild(HWND parent, const std::function<bool(HWND)>& matches)
{
    ChildSearch search{matches, nullptr};
    EnumChildWindows(parent, CheckChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct ProcessWindowSearch {
    DWORD processId;
    const char* className;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CheckTopLevel(HWND window, LPARAM context)
{
    auto& search = *reinterpret_cast<ProcessWindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && (search.className == nullptr || ClassOf(window) == search.className) &&
        (!search.visibleOnly || IsWindowVisible(window)))
        search.found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> WindowsOfProcess(DWORD processId, const char* className, bool visibleOnly)
{
    ProcessWindowSearch search{processId, className, visibleOnly, {}};
    EnumWindows(CheckTopLevel, reinterpret_cast<LPARAM>(&search));
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
