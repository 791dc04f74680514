// The subcommands that find and drive windows.
#include <cstdio>

#include "win/Strings.h"
#include "wintool/Commands.h"
#include "wintool/WindowQueries.h"

namespace wintool {

namespace {

std::string HandleText(HWND window)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

// The command line is in the ANSI code page; the receiving side reads UTF-8.
std::string AnsiToUtf8(const std::string& ansi)
{
    const std::wstring wide = win::ToWide(ansi);
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), needed, nullptr, nullptr);
    return utf8;
}

}  // namespace

int WaitWindow(const ToolArgs& args)
{
    const std::string& className = args.at(0);
    const char* title = args.positional.size() > 1 ? args.at(1).c_str() : nullptr;
    HWND found = nullptr;
    const bool appeared = WaitUntil([&] { return (found = FindWindowA(className.c_str(), title)) != nullptr; },
                                    args.timeoutMs.value_or(kDefaultTimeoutMs));
    if (!appeared) throw ToolFailure("timed out waiting for a window of class " + className);
    PrintLine(HandleText(found));
    return 0;
}

int WaitGone(const ToolArgs& args)
{
    const std::string& className = args.at(0);
    const bool gone = WaitUntil([&] { return FindWindowA(className.c_str(), nullptr) == nullptr; },
                                args.timeoutMs.value_or(kDefaultTimeoutMs));
    if (!gone) throw ToolFailure("timed out waiting for the window of class " + className + " to go");
    PrintLine("gone");
    return 0;
}

int Click(const ToolArgs& args)
{
    const HWND control = RequireControl(RequireTopLevel(args.at(0)), args.at(1));
    // BM_CLICK on a disabled button would silently do nothing; say so instead.
    if (!IsWindowEnabled(control)) throw ToolFailure("control " + args.at(1) + " is disabled");
    if (args.post) {
        if (!PostMessageA(control, BM_CLICK, 0, 0)) throw ToolFailure("cannot post the click");
        PrintLine("posted");
    } else {
        SendMessageA(control, BM_CLICK, 0, 0);
        PrintLine("clicked");
    }
    return 0;
}

int IsEnabled(const ToolArgs& args)
{
    const HWND control = RequireControl(RequireTopLevel(args.at(0)), args.at(1));
    PrintLine(IsWindowEnabled(control) ? "1" : "0");
    return 0;
}

int CopyData(const ToolArgs& args)
{
    HWND target = RequireTopLevel(args.at(0));
    if (args.childClass) target = RequireDescendantOfClass(target, *args.childClass);
    // The bytes of the text without a terminating zero; cbData says how many.
    std::string text = AnsiToUtf8(args.at(2));
    COPYDATASTRUCT data{};
    data.dwData = static_cast<ULONG_PTR>(ParseHex(args.at(1), "DWDATA_HEX"));
    data.cbData = static_cast<DWORD>(text.size());
    data.lpData = text.data();
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                             args.timeoutMs.value_or(60000), &result))
        throw ToolFailure("WM_COPYDATA was not answered");
    PrintLine(std::to_string(static_cast<LRESULT>(result)));
    return 0;
}

int Close(const ToolArgs& args)
{
    if (!PostMessageA(RequireTopLevel(args.at(0)), WM_CLOSE, 0, 0)) throw ToolFailure("cannot post WM_CLOSE");
    PrintLine("posted");
    return 0;
}

int Rect(const ToolArgs& args)
{
    RECT rect{};
    if (!GetWindowRect(RequireTopLevel(args.at(0)), &rect)) throw ToolFailure("cannot read the window rectangle");
    PrintLine(std::to_string(rect.left) + " " + std::to_string(rect.top) + " " + std::to_string(rect.right) + " " +
              std::to_string(rect.bottom));
    return 0;
}

int List(const ToolArgs& args)
{
    std::fputs(DescribeTree(RequireTopLevel(args.at(0))).c_str(), stdout);
    std::fflush(stdout);
    return 0;
}

}  // namespace wintool
