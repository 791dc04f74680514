// The window as built: layout, frame, hints, Tab order, docking and closing.
#include "FormFixture.h"

#include <commctrl.h>

#include <algorithm>

#include "host/Messages.h"
#include "ui/MainFormLayout.h"

namespace {

using testing_support::WaitUntil;
using namespace std::chrono_literals;

RECT RectIn(HWND control, HWND parent)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string HintOf(ui::TForm1& form, HWND control)
{
    char text[128] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = form.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageA(form.Tooltips(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

using MainForm = FormFixture;

TEST_F(MainForm, FrameIsAHiddenStayOnTopToolWindowAtItsDesignedPlace)
{
    CreateForm();
    HWND form = Form().Handle();
    EXPECT_EQ(testing_support::ClassOf(form), "TForm1");
    EXPECT_EQ(testing_support::WindowText(form), "Denoptix");
    EXPECT_FALSE(IsWindowVisible(form)) << "hidden until the message loop shows it";

    const LONG style = GetWindowLongA(form, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(form, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    RECT outer;
    GetWindowRect(form, &outer);
    EXPECT_EQ(outer.left, ui::layout::kForm.left);
    EXPECT_EQ(outer.top, ui::layout::kForm.top);
    EXPECT_EQ(outer.right - outer.left, ui::layout::kForm.width);
    EXPECT_EQ(outer.bottom - outer.top, ui::layout::kForm.height);
}

// Each row of the layout description, as built at 96 dpi: its window class,
// parent, place, caption and hint.
TEST_F(MainForm, EveryControlStandsWhereTheLayoutPutsItWithItsCaptionAndHint)
{
    using ui::layout::Kind;
    CreateForm();
    ui::TForm1& form = Form();
    EXPECT_EQ(form.Tooltips(), nullptr) << "hints wait for the first show";
    form.Show(SW_SHOWNOACTIVATE);
    const auto hinted = std::count_if(std::begin(ui::layout::kControls), std::end(ui::layout::kControls),
                                      [](const auto& row) { return row.hint != nullptr; });
    EXPECT_EQ(SendMessageA(form.Tooltips(), TTM_GETTOOLCOUNT, 0, 0), hinted);
    for (const auto& row : ui::layout::kControls) {
        SCOPED_TRACE(row.name);
        const bool scanner = row.kind == Kind::ScannerControl;
        HWND control = scanner ? ControlWindow() : testing_support::FindDescendant(form.Handle(), row.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(HintOf(form, control), row.hint ? row.hint : "");
        // The scanner control, as MFC's stock Enabled has it, is off until power-on.
        EXPECT_EQ(IsWindowEnabled(control) != FALSE, !scanner);
        if (scanner) continue;  // docked: see below
        HWND parent = row.parent == ui::layout::kNoId ? form.Handle() : testing_support::FindDescendant(form.Handle(), row.parent);
        EXPECT_EQ(GetParent(control), parent);
        const char* className = row.kind == Kind::Panel ? "TPanel" : row.kind == Kind::DropDownList ? "ComboBox" : "Button";
        EXPECT_EQ(testing_support::ClassOf(control), className);
        const RECT r = RectIn(control, parent);
        EXPECT_EQ(r.left, row.left);
        EXPECT_EQ(r.top, row.top);
        EXPECT_EQ(r.right, row.left + row.width);
        EXPECT_EQ(r.bottom, row.top + row.height);
        if (row.kind != Kind::DropDownList) {
            EXPECT_EQ(testing_support::WindowText(control), row.caption ? row.caption : "");
        }
    }
    EXPECT_EQ(GetWindowLongA(form.CustomScan(), GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_EQ(GetWindowLongA(form.ComboIntraRes(), GWL_STYLE) & 3, CBS_DROPDOWNLIST);

    const auto items = [](HWND list) {
        std::string joined;
        const auto count = SendMessageA(list, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[16] = {};
            SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            joined += std::string(text) + ";";
        }
        return joined;
    };
    EXPECT_EQ(items(form.ComboIntraRes()), "150;300;600;");
    EXPECT_EQ(items(form.ComboExtraRes()), "150;300;");
    // First run: the lists show 300 and 150.
    EXPECT_EQ(SendMessageA(form.ComboIntraRes(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(form.ComboExtraRes(), CB_GETCURSEL, 0, 0), 0);
}

TEST_F(MainForm, ScannerControlIsDockedLeftAndFollowsResizing)
{
    CreateForm();
    HWND form = Form().Handle();
    HWND control = ControlWindow();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), form);
    RECT client;
    GetClientRect(form, &client);
    RECT docked = RectIn(control, form);
    EXPECT_EQ(docked.left, 0);
    EXPECT_EQ(docked.top, 0);
    EXPECT_EQ(docked.right, 41);
    EXPECT_EQ(docked.bottom, client.bottom);

    const RECT accendiBefore = RectIn(Form().Accendi(), form);
    SetWindowPos(form, nullptr, 0, 0, 300, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(form, &client);
    docked = RectIn(control, form);
    EXPECT_EQ(docked.right - docked.left, 41);
    EXPECT_EQ(docked.bottom, client.bottom);
    EXPECT_GT(client.bottom, 300);
    const RECT accendiAfter = RectIn(Form().Accendi(), form);
    EXPECT_EQ(accendiAfter.left, accendiBefore.left);
    EXPECT_EQ(accendiAfter.bottom, accendiBefore.bottom);
}

// Before power-on the scanner control is disabled: the first Tab from the
// window, and every round after, passes over it until Accendi enables it.
TEST_F(MainForm, TabVisitsControlsInDeclaredOrderSkippingDisabledOnes)
{
    CreateForm();
    ui::TForm1& form = Form();
    form.Show(SW_SHOWNORMAL);
    SetForegroundWindow(form.Handle());
    SetFocus(form.Handle());
    const auto pressTab = [&](bool shift) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG message{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_TRUE(form.PreTranslateMessage(message));
        return GetFocus();
    };
    const HWND round[] = {form.Accendi(),       form.CustomScan(),    form.Unsharp(),
                          form.ComboIntraRes(), form.ComboExtraRes(), form.EndoScan()};
    for (HWND expected : round) EXPECT_EQ(pressTab(false), expected);
    EXPECT_EQ(pressTab(false), form.Accendi()) << "the disabled scanner control is passed over";
    EXPECT_EQ(pressTab(true), form.EndoScan());

    form.AccendiClick();
    ASSERT_TRUE(IsWindowEnabled(ControlWindow()));
    EXPECT_EQ(pressTab(false), ControlWindow());
    EXPECT_EQ(pressTab(true), form.EndoScan());

    EnableWindow(form.Accendi(), FALSE);
    SetFocus(ControlWindow());
    EXPECT_EQ(pressTab(false), form.CustomScan());
    pressTab(false);  // leave shift state clean
}

TEST_F(MainForm, CloseRunsTheCloseHandlerThenEndsTheApplication)
{
    CreateForm();
    Form().Show(SW_SHOWNORMAL);
    SendMessageA(Form().Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(closed_);
    EXPECT_FALSE(IsWindowVisible(Form().Handle()));
    EXPECT_TRUE(reports_.empty());
}

TEST_F(MainForm, AnErrorInTheCloseHandlerKeepsTheWindowOpen)
{
    CreateForm();
    Form().Show(SW_SHOWNORMAL);
    ASSERT_TRUE(Command("fail get EnableEndoScan Scanner busy"));
    SendMessageA(Form().Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(closed_);
    EXPECT_TRUE(IsWindowVisible(Form().Handle()));
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0], "Scanner busy.");
}

TEST_F(MainForm, IgnoresTheBridgesOwnRegisteredMessages)
{
    CreateForm();
    Form().ImageNames = "a\r\n";
    EXPECT_EQ(SendMessageA(Form().Handle(), host::WmAcqDenoptix(), 0, 0), 0);
    EXPECT_EQ(SendMessageA(Form().Handle(), host::WmDeleteResource(), 3, 0), 0);
    EXPECT_TRUE(IsWindow(Form().Handle()));
    EXPECT_FALSE(closed_);
    EXPECT_EQ(Form().ImageNames, "a\r\n");
    EXPECT_TRUE(reports_.empty());
}

}  // namespace
