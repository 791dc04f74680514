// The window as built: layout, frame, hints, Tab order, docking and closing.
#include "FormFixture.h"

#include <commctrl.h>

#include "host/Messages.h"

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

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

using MainForm = FormFixture;

TEST_F(MainForm, FrameIsAHiddenStayOnTopToolWindowAtItsDesignedPlace)
{
    CreateForm();
    HWND form = Form().Handle();
    EXPECT_EQ(ClassOf(form), "TForm1");
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
    EXPECT_EQ(outer.left, 691);
    EXPECT_EQ(outer.top, 183);
    EXPECT_EQ(outer.right - outer.left, 182);
    EXPECT_EQ(outer.bottom - outer.top, 164);
}

TEST_F(MainForm, ControlsStandAsDesigned)
{
    CreateForm();
    ui::TForm1& form = Form();
    struct Expected {
        HWND control;
        HWND parent;
        const char* className;
        RECT rect;  // left, top, right, bottom in the parent's client area
        const char* caption;
    } const expected[] = {
        {form.Accendi(), form.Handle(), "Button", {45, 2, 97, 27}, "Accendi"},
        {form.Panel1(), form.Handle(), "TPanel", {45, 32, 161, 121}, ""},
        {form.CustomScan(), form.Panel1(), "Button", {4, 5, 93, 22}, "Custom Scan"},
        {form.Unsharp(), form.Panel1(), "Button", {4, 43, 101, 60}, "Unsharp"},
        {form.ComboIntraRes(), form.Panel1(), "ComboBox", {4, 64, 47, 85}, "300"},
        {form.ComboExtraRes(), form.Panel1(), "ComboBox", {54, 64, 97, 85}, "150"},
        {form.EndoScan(), form.Handle(), "Button", {50, 56, 147, 73}, "Alta risoluzione"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.caption);
        EXPECT_EQ(GetParent(e.control), e.parent);
        EXPECT_EQ(ClassOf(e.control), e.className);
        const RECT r = RectIn(e.control, e.parent);
        EXPECT_EQ(r.left, e.rect.left);
        EXPECT_EQ(r.top, e.rect.top);
        EXPECT_EQ(r.right, e.rect.right);
        EXPECT_EQ(r.bottom, e.rect.bottom);
        EXPECT_EQ(testing_support::WindowText(e.control), e.caption);
        EXPECT_TRUE(IsWindowEnabled(e.control));
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

TEST_F(MainForm, EveryControlShowsItsHint)
{
    CreateForm();
    ui::TForm1& form = Form();
    const std::pair<HWND, const char*> hints[] = {
        {ControlWindow(), "Avvia la scansione"},
        {form.Accendi(), "Inizializza ed accendi lo scanner"},
        {form.CustomScan(), "Scelta delle rx da acquisire"},
        {form.Unsharp(), "Applica filtro Unsharp"},
        {form.ComboIntraRes(), "Risoluzione lastre intraorali"},
        {form.ComboExtraRes(), "Risoluzione lastre extraorali"},
        {form.EndoScan(), "Scansione a 600 dpi delle rx superiori"},
    };
    EXPECT_EQ(SendMessageA(form.Tooltips(), TTM_GETTOOLCOUNT, 0, 0), 7);
    for (const auto& [control, hint] : hints) {
        char text[128] = {};
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = form.Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = text;
        SendMessageA(form.Tooltips(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(text, hint);
    }
}

TEST_F(MainForm, TabVisitsControlsInDeclaredOrderSkippingDisabledOnes)
{
    CreateForm();
    ui::TForm1& form = Form();
    form.Show(SW_SHOWNORMAL);
    SetForegroundWindow(form.Handle());
    SetFocus(ControlWindow());
    const auto pressTab = [&](bool shift) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG message{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_TRUE(form.PreTranslateMessage(message));
        return GetFocus();
    };
    EXPECT_EQ(pressTab(false), form.Accendi());
    EXPECT_EQ(pressTab(false), form.CustomScan());
    EXPECT_EQ(pressTab(false), form.Unsharp());
    EXPECT_EQ(pressTab(false), form.ComboIntraRes());
    EXPECT_EQ(pressTab(false), form.ComboExtraRes());
    EXPECT_EQ(pressTab(false), form.EndoScan());
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
