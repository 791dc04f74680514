#include "app/Application.h"

#include <string>

#include "app/ApplicationTitle.h"
#include "app/CommandLine.h"
#include "app/ErrorReport.h"
#include "ui/MainForm.h"
#include "win/ComRuntime.h"
#include "win/Error.h"
#include "win/WindowClass.h"

namespace app {

namespace {
constexpr char kApplicationClassName[] = "TApplication";
}

Application::Application(HINSTANCE instance)
{
    win::RegisterWindowClassOnce(instance, kApplicationClassName, WindowProc);
    window_.reset(win::CheckLastError(CreateWindowExA(0, kApplicationClassName, ApplicationTitle().c_str(),
                                                      WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU,
                                                      0, 0, 0, 0, nullptr, nullptr, instance, this),
                                      "CreateWindowEx"));
}

void Application::SetMainForm(ui::TForm1* form) noexcept
{
    mainForm_ = form;
    SetReportOwner(form != nullptr ? form->Handle() : nullptr);
}

int Application::Run(int showCommand)
{
    if (mainForm_ != nullptr) mainForm_->Show(showCommand);
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);  // WM_QUIT
        // -1: the loop cannot go on, and message holds nothing to dispatch.
        if (got == -1) win::ThrowLastError("GetMessage");
        if (mainForm_ != nullptr && mainForm_->PreTranslateMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void Application::Terminate() noexcept { PostQuitMessage(0); }

// A close request to the application window closes the main window the
// same way its close box does.
LRESULT CALLBACK Application::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Application*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_CLOSE && self != nullptr && self->mainForm_ != nullptr) {
        try {
            self->mainForm_->Close();
        } catch (...) {
            ReportCurrentException();
        }
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int ProgramEntry(HINSTANCE instance, HINSTANCE, const char* tail, int showCommand)
{
    try {
        Application application(instance);
        // The COM runtime outlives the window and its scanner control.
        win::ComRuntime com;
        ui::TForm1 form(instance, application.Handle(), [&application] { application.Terminate(); });
        application.SetMainForm(&form);
        form.DestinationFolder = tail;
        const int code = application.Run(showCommand);
        application.SetMainForm(nullptr);
        return code;
    } catch (...) {
        ReportCurrentException();
        // Whoever started the bridge must see that it never came up.
        return 1;
    }
}

int StartProcess(HINSTANCE instance)
{
    const std::string tail(CommandLineTail(GetCommandLineA()));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
    return ProgramEntry(instance, nullptr, tail.c_str(), show);
}

}  // namespace app
