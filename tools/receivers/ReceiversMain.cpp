// DenoptixReceivers: stand-ins for the host imaging application and the photo
// server. They log every notification the bridge sends, with the clipboard
// text in place at that moment.
#include <windows.h>

#include <atomic>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "receivers/ReceiverLog.h"
#include "receivers/ReceiverOptions.h"
#include "receivers/ReceiverWindow.h"

namespace {

using namespace receivers;

std::atomic<DWORD> g_mainThreadId{0};

// Ctrl+C arrives on a thread of its own; the loop on the main thread ends.
BOOL WINAPI OnConsoleControl(DWORD) noexcept
{
    PostThreadMessageA(g_mainThreadId.load(), WM_QUIT, 0, 0);
    return TRUE;
}

void CALLBACK OnTimeout(HWND, UINT, UINT_PTR, DWORD) noexcept
{
    PostQuitMessage(0);
}

ReceiverSetup SetupFor(const char* className, const char* defaultTitle, POINT position, const RoleOptions& role,
                       const ReceiverOptions& options)
{
    ReceiverSetup setup;
    setup.className = className;
    setup.title = options.title.value_or(defaultTitle);
    setup.position = position;
    setup.hangMs = role.hangMs;
    setup.clipboardAfter = role.clipboardAfter;
    setup.closeBridge = role.closeBridge;
    setup.result = options.result;
    return setup;
}

int RunMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

int Run(const ReceiverOptions& options)
{
    g_mainThreadId = GetCurrentThreadId();
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    const ProtocolMessages messages = RegisterProtocolMessages();
    const ReceiverLog log(options.logPath);

    unsigned logged = 0;
    auto sink = [&](const std::string& line) {
        log.Write(line);
        if (options.exitAfter && ++logged >= *options.exitAfter) PostQuitMessage(0);
    };

    std::vector<std::unique_ptr<ReceiverWindow>> windows;
    if (options.host.enabled) {
        windows.push_back(std::make_unique<ReceiverWindow>(
            SetupFor(kHostClass, "Stand-in host", {20, 20}, options.host, options), messages, sink));
    }
    if (options.photo.enabled) {
        windows.push_back(std::make_unique<ReceiverWindow>(
            SetupFor(kPhotoClass, "Stand-in photo server", {340, 20}, options.photo, options), messages, sink));
    }
    if (options.timeoutMs) SetTimer(nullptr, 0, *options.timeoutMs, OnTimeout);
    log.Write("ready");
    return RunMessageLoop();
}

}  // namespace

int main(int argc, char** argv)
{
    // Lines end in LF alone, also through a pipe or file, for the shell scripts that read them.
    _setmode(_fileno(stdout), _O_BINARY);
    ReceiverOptions options;
    try {
        options = ParseReceiverOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const OptionError& e) {
        std::fprintf(stderr, "DenoptixReceivers: %s\n%s", e.what(), kReceiverUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kReceiverUsage, stdout);
        return 0;
    }
    try {
        return Run(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "DenoptixReceivers: %s\n", e.what());
        return 1;
    }
}
