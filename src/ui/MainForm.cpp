#include "ui/MainForm.h"

#include <commctrl.h>

#include "host/Messages.h"
#include "host/Notifier.h"
#include "settings/SettingsStore.h"
#include "trail/Trail.h"
#include "ui/Panel.h"
#include "win/Error.h"
#include "win/ListSelection.h"
#include "win/StepTimes.h"
#include "win/WindowClass.h"

namespace ui {

namespace {

// The two window messages are registered when this module loads, before the
// application or its window exist.
const bool g_messagesRegistered = (host::RegisterMessages(), true);

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

// What each control runs, row by row beside layout::kControls: the click of
// a button or check box, the selection change of a list. The scanner
// control's events are bound where it is created.
using Handler = void (TForm1::*)();
struct Binding {
    layout::ControlId id;
    Handler handler;
};
constexpr Binding kBindings[] = {
    {layout::kDenOptixScanProxy1, nullptr},
    {layout::kAccendi, &TForm1::AccendiClick},
    {layout::kPanel1, nullptr},
    {layout::kCustomScan, &TForm1::CustomScanClick},
    {layout::kUnsharp, &TForm1::UnsharpClick},
    {layout::kComboIntraRes, &TForm1::ComboIntraResChange},
    {layout::kComboExtraRes, &TForm1::ComboExtraResChange},
    {layout::kEndoScan, &TForm1::EndoScanClick},
};

consteval bool BindingsFollowTheLayout()
{
    if (std::size(kBindings) != std::size(layout::kControls)) return false;
    for (std::size_t row = 0; row < std::size(kBindings); ++row) {
        if (kBindings[row].id != layout::kControls[row].id) return false;
    }
    return true;
}
static_assert(BindingsFollowTheLayout(), "one binding per layout row, in the layout's order");

// The notification that means the control's event.
int EventNotification(layout::Kind kind)
{
    return kind == layout::Kind::DropDownList ? CBN_SELCHANGE : BN_CLICKED;
}

}  // namespace

TForm1::TForm1(HINSTANCE instance, HWND applicationWindow, std::function<void()> onClosed)
    : instance_(instance), applicationWindow_(applicationWindow), onClosed_(std::move(onClosed))
{
    (void)g_messagesRegistered;
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);
    win::RegisterWindowClassOnce(instance, layout::kForm.className, WindowProc,
                                 reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RegisterPanelClass(instance);

    dpi_ = GetDpiForSystem();
    const auto& form = layout::kForm;
    CreateWindowFor(kFormExStyle, form.className, form.caption, kFormStyle, form.left, form.top, Scale(form.width),
                    Scale(form.height), nullptr, instance);
    dpi_ = GetDpiForWindow(Handle());
    if (dpi_ != GetDpiForSystem()) {
        SetWindowPos(Handle(), nullptr, 0, 0, Scale(form.width), Scale(form.height),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    win::MarkStep("main window");
    CreateControls();
    win::MarkStep("controls");

    try {
        FormCreate();
    } catch (...) {
        win::ReportCurrentException();
    }
    win::MarkStep("FormCreate");
}

TForm1::~TForm1()
{
    // Destroying the window tears the scanner control down first (WM_DESTROY),
    // while its parent still exists. After a failed construction this
    // destructor does not run: the scanner control goes first as a member,
    // and the base then destroys the window.
    DestroyNow();
}

void TForm1::Show(int showCommand)
{
    ShowWindow(Handle(), showCommand == SW_HIDE ? SW_SHOWNORMAL : showCommand);
    UpdateWindow(Handle());
    win::MarkStep("visible");
    // Hints show only once the pointer rests on a visible control, so they
    // are made after the window is on the screen, not before.
    CreateHints();
    win::MarkStep("hints");
}

void TForm1::Close()
{
    // The photo server may answer its close notification by closing us; that
    // request runs inside our bounded send, and running FormClose again there
    // would notify it again, without end.
    if (closeState_ != CloseState::Open) return;
    closeState_ = CloseState::Closing;
    CloseAction action = CloseAction::Hide;
    try {
        FormClose(action);
    } catch (...) {
        closeState_ = CloseState::Open;  // abandoned: the operator may try again
        throw;
    }
    if (action == CloseAction::None) {
        closeState_ = CloseState::Open;
        return;
    }
    closeState_ = CloseState::Closed;
    ShowWindow(Handle(), SW_HIDE);
    if (onClosed_) onClosed_();
}

void TForm1::RequestClose()
{
    if (closeState_ != CloseState::Open) return;
    if (IsWindowEnabled(Handle())) {
        Close();
        return;
    }
    if (!closeHeld_) trail::Write("close: asked while a box of the bridge's own is open, held until it is answered");
    closeHeld_ = true;
}

// The box that disabled the window has been answered. The held close is
// posted, not run here, so it runs once the box has gone from the stack.
void TForm1::OnEnable(bool enabled)
{
    if (!enabled || !closeHeld_) return;
    closeHeld_ = false;
    PostMessageA(Handle(), WM_CLOSE, 0, 0);
}

bool TForm1::PreTranslateMessage(const MSG& message) const
{
    return Handle() != nullptr && tabOrder_.PreTranslate(message, Handle());
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_SIZE:
        OnSize();
        return 0;
    case WM_CLOSE:
        RequestClose();
        return 0;
    case WM_ENABLE:
        OnEnable(wParam != FALSE);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) OnEndSession();
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        scanProxy_.reset();
        return 0;
    default:
        return DefaultProcessing(message, wParam, lParam);
    }
}

void TForm1::OnCommand(int id, int notification)
{
    for (std::size_t row = 0; row < std::size(layout::kControls); ++row) {
        const auto& design = layout::kControls[row];
        if (design.id != id) continue;
        const Handler handler = kBindings[row].handler;
        if (handler != nullptr && notification == EventNotification(design.kind)) (this->*handler)();
        return;
    }
}

void TForm1::OnSize()
{
    if (scanProxy_) scanProxy_->SetBounds(ScannerBounds());
}

void TForm1::OnDpiChanged(UINT dpi, const RECT& suggested)
{
    dpi_ = dpi;
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyLayout();
}

// The system is ending the session: nobody will close the window, so the
// settings are kept here, silently; the photo server is not told.
void TForm1::OnEndSession()
{
    // A finished close has written everything already. One still running
    // (waiting on the photo server) may never get to its save before the
    // system ends the process, so the save is made here as well.
    if (closeState_ == CloseState::Closed) return;
    closeState_ = CloseState::Closed;
    try {
        settings::SaveSettings(Targets(), settings::WriteFailure::Ignore);
    } catch (...) {
        // Nobody is left to read a report during log-off.
    }
    if (onClosed_) onClosed_();
}

settings::SettingsTargets TForm1::Targets() const
{
    return settings::SettingsTargets{Handle(), ComboIntraRes(), ComboExtraRes(), *scanProxy_};
}

void TForm1::FormCreate()
{
    win::SelectIndexFromCode(ComboIntraRes(), 1);
    win::SelectIndexFromCode(ComboExtraRes(), 0);
    if (!settings::LoadSettings(Targets())) return;
    // The boxes follow what the control reports; a box is never cleared here.
    auto& control = DenOptixScanProxy1();
    if (control.EnableEndoScan()) SetChecked(EndoScan(), true);
    if (control.EnableCustomScan()) SetChecked(CustomScan(), true);
    if (control.ScanParmUnsharpMask()) SetChecked(Unsharp(), true);
}

void TForm1::FormClose(CloseAction&)
{
    host::NotifyClosing();
    settings::SaveSettings(Targets(), settings::WriteFailure::ShowMessage);
}

}  // namespace ui
