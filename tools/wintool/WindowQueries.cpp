#include "wintool/WindowQueries.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "receivers/ByteEscape.h"
#include "wintool/ToolArgs.h"

namespace wintool {

namespace {

constexpr DWORD kPollMs = 50;
constexpr UINT kTextTimeoutMs = 1000;

struct ControlSearch {
    std::string text;
    std::optional<int> id;
    HWND byText = nullptr;
    HWND byId = nullptr;
};

BOOL CALLBACK MatchControl(HWND window, LPARAM context) noexcept
{
    auto& search = *reinterpret_cast<ControlSearch*>(context);
    if (!search.byText && WindowText(window) == search.text) search.byText = window;
    if (!search.byId && search.id && GetDlgCtrlID(window) == *search.id) search.byId = window;
    return search.byText ? FALSE : TRUE;
}

struct ClassSearch {
    std::string className;
    HWND found = nullptr;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM context) noexcept
{
    auto& search = *reinterpret_cast<ClassSearch*>(context);
    if (ClassName(window) == search.className) search.found = window;
    return search.found ? FALSE : TRUE;
}

std::optional<int> AsControlId(const std::string& text)
{
    try {
        return static_cast<int>(ParseDecimal(text, "control id"));
    } catch (const UsageError&) {
        return std::nullopt;
    }
}

void DescribeWindow(HWND window, int depth, std::string& out)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    char line[256];
    std::snprintf(line, sizeof line, " id=%d rect=%ld,%ld,%ld,%ld style=0x%08lX enabled=%d visible=%d",
                  GetDlgCtrlID(window), rect.left, rect.top, rect.right, rect.bottom,
                  static_cast<unsigned long>(GetWindowLongPtrA(window, GWL_STYLE)), IsWindowEnabled(window) ? 1 : 0,
                  IsWindowVisible(window) ? 1 : 0);
    out.append(static_cast<size_t>(depth) * 2, ' ');
    out += ClassName(window) + line + " text=\"" + receivers::EscapeBytes(WindowText(window)) + "\"\n";
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        DescribeWindow(child, depth + 1, out);
}

}  // namespace

HWND RequireTopLevel(const std::string& className)
{
    const HWND window = FindWindowA(className.c_str(), nullptr);
    if (!window) throw ToolFailure("no top-level window of class " + className);
    return window;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
}

std::string WindowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &length)) return {};
    std::vector<char> buffer(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, kTextTimeoutMs, &copied))
        return {};
    return std::string(buffer.data(), std::min<size_t>(copied, length));
}

std::string ClassName(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

HWND RequireControl(HWND topLevel, const std::string& textOrId)
{
    ControlSearch search{textOrId, AsControlId(textOrId)};
    EnumChildWindows(topLevel, MatchControl, reinterpret_cast<LPARAM>(&search));
    if (search.byText) return search.byText;
    if (search.byId) return search.byId;
    throw ToolFailure("no control with caption or id " + textOrId);
}

HWND RequireDescendantOfClass(HWND topLevel, const std::string& className)
{
    ClassSearch search{className};
    EnumChildWindows(topLevel, MatchClass, reinterpret_cast<LPARAM>(&search));
    if (!search.found) throw ToolFailure("no child window of class " + className);
    return search.found;
}

std::string DescribeTree(HWND topLevel)
{
    std::string out;
    DescribeWindow(topLevel, 0, out);
    return out;
}

}  // namespace wintool
