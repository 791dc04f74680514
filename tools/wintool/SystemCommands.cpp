// The subcommands about the clipboard and the desktop settings.
#include <cstdio>

#include "receivers/ClipboardText.h"
#include "win/Error.h"
#include "win/UniqueResource.h"
#include "wintool/Commands.h"

namespace wintool {

namespace {

// Wine lets a second OpenClipboard(NULL) through while the first holder also
// passed NULL, so the clipboard is always opened for a window of ours.
win::UniqueHwnd CreateClipboardWindow()
{
    win::UniqueHwnd window(CreateWindowExA(0, "STATIC", "wintool", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
    win::CheckLastError(window.get(), "Cannot create a window for the clipboard");
    return window;
}

}  // namespace

void PrintLine(const std::string& line)
{
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int HoldClipboard(const ToolArgs& args)
{
    const DWORD holdMs = static_cast<DWORD>(ParseDecimal(args.at(0), "MS"));
    const win::UniqueHwnd window = CreateClipboardWindow();
    const auto lock = receivers::ClipboardLock::TryOpen(window.get(), 2000);
    if (!lock) throw ToolFailure("Cannot open clipboard");
    PrintLine("holding");
    Sleep(holdMs);
    return 0;
}

int PrintClipboard(const ToolArgs&)
{
    const win::UniqueHwnd window = CreateClipboardWindow();
    PrintLine(receivers::DescribeClipboard(receivers::ReadClipboardText(window.get())));
    return 0;
}

int SetDpi(const ToolArgs& args)
{
    const DWORD dpi = static_cast<DWORD>(ParseDecimal(args.at(0), "N"));
    win::UniqueHkey key;
    LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, key.put(), nullptr);
    if (status == ERROR_SUCCESS)
        status = RegSetValueExA(key.get(), "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    if (status != ERROR_SUCCESS) throw win::Error(win::SystemMessage(static_cast<DWORD>(status)));
    PrintLine("LogPixels=" + std::to_string(dpi));
    return 0;
}

}  // namespace wintool
