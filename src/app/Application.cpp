#include "app/Application.h"

#include <string>

#include "app/CommandLine.h"
#include "app/OneBridge.h"
#include "trail/CrashReport.h"
#include "trail/HangWatch.h"
#include "trail/Trail.h"
#include "ui/MainForm.h"
#include "win/ApplicationTitle.h"
#include "win/ComRuntime.h"
#include "win/Error.h"
#include "win/ProcessDep.h"
#include "win/StepTimes.h"
#include "win/TokenFacts.h"
#include "win/ErrorReport.h"
#include "win/WindowClass.h"
#include "win/WindowsVersion.h"

namespace app {

namespace {
constexpr char kApplicationClassName[] = "TApplication";

// The tail names the patient's folder: only its length goes to the trail.
// Whether the bridge runs elevated tells support why a receiver run as
// administrator never got a message; the DEP mode, why an old control died.
void WriteStartToTrail(std::string_view tail, const std::optional<win::TokenFacts>& token)
{
    trail::Write(std::string("start: Denoptix ") + DENOPTIX_VERSION + ", " + (sizeof(void*) == 8 ? "64" : "32") +
                 "-bit, Windows " + win::WindowsVersion() + ", command-line tail of " + std::to_string(tail.size()) +
                 " characters, " + win::DescribeToken(token) + ", " +
                 win::DescribeDep(win::TurnOnDepOnce()));
}
}  // namespace

Application::Application(HINSTANCE instance)
{
    win::RegisterWindowClassOnce(instance, kApplicationClassName, WindowProc);
    CreateWindowFor(0, kApplicationClassName, win::ApplicationTitle().c_str(),
                    WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU, 0, 0, 0, 0, nullptr, instance);
}

void Application::SetMainForm(ui::TForm1* form) noexcept
{
    mainForm_ = form;
    win::SetReportOwner(form != nullptr ? form->Handle() : nullptr);
    trail::SetCrashBoxOwner(form != nullptr ? form->Handle() : nullptr);
}

int Application::Run(int showCommand)
{
    if (mainForm_ != nullptr) mainForm_->Show(showCommand);
    // Once the window is up, so the start-up waits for neither.
    trail::BeginWriting();
    trail::StartWatchingCalls();
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
LRESULT Application::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE && mainForm_ != nullptr) {
        mainForm_->RequestClose();
        return 0;
    }
    return DefaultProcessing(message, wParam, lParam);
}

int ProgramEntry(HINSTANCE instance, const char* tail, int showCommand)
{
    try {
        win::MarkStep("entry");
        const std::optional<win::TokenFacts> token = win::ReadTokenFacts(GetCurrentProcess());
        WriteStartToTrail(tail, token);
        win::KeepFolderOutOfTrail(tail);
        const SessionClaim claim = ClaimTheSession(tail, token && token->elevated);
        if (claim.exitCode) {
            trail::BeginWriting();
            return *claim.exitCode;
        }
        Application application(instance);
        win::MarkStep("application window");
        // The COM runtime outlives the window and its scanner control.
        win::ComRuntime com;
        win::MarkStep("com");
        ui::TForm1 form(instance, application.Handle(), [&application] { application.Terminate(); });
        application.SetMainForm(&form);
        form.DestinationFolder = tail;
        const int code = application.Run(showCommand);
        application.SetMainForm(nullptr);
        return code;
    } catch (...) {
        trail::BeginWriting();
        win::ReportCurrentException();
        // Whoever started the bridge must see that it never came up.
        return 1;
    }
}

int StartProcess(HINSTANCE instance)
{
    trail::InstallCrashReport(DENOPTIX_VERSION);
    const std::string tail(CommandLineTail(GetCommandLineA()));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
    return ProgramEntry(instance, tail.c_str(), show);
}

}  // namespace app
