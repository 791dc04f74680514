#pragma once
// Finding windows of other processes by class, title, caption or control id.
#include <windows.h>

#include <functional>
#include <string>

namespace wintool {

constexpr DWORD kDefaultTimeoutMs = 10000;

// The top-level window FindWindowA returns; ToolFailure when there is none.
HWND RequireTopLevel(const std::string& className);

// Polls until condition() holds; false when timeoutMs passed first.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// The text through WM_GETTEXT, which also works across processes for
// controls; empty when the window does not answer within a second.
std::string WindowText(HWND window);
std::string ClassName(HWND window);

// A descendant whose caption is `textOrId`, else (when it is a number) one
// with that control id; ToolFailure when neither exists.
HWND RequireControl(HWND topLevel, const std::string& textOrId);

// The first descendant of that class in EnumChildWindows order.
HWND RequireDescendantOfClass(HWND topLevel, const std::string& className);

// One line per window: class, id, text, rect, style, enabled, visible;
// children indented under their parent.
std::string DescribeTree(HWND topLevel);

}  // namespace wintool
