// The window's controls, built from the layout description and scaled to
// the window's DPI, and the hints that follow the first show.
#include "ui/MainForm.h"

#include <commctrl.h>

#include <string>
#include <string_view>

#include "ui/Panel.h"
#include "win/Error.h"

namespace ui {

namespace {

HWND CreateTooltips(HWND owner, HINSTANCE instance)
{
    HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                instance, nullptr);
    return win::CheckLastError(tips, "Tooltips");
}

void AddHint(HWND tips, HWND owner, HWND control, const char* hint)
{
    if (hint == nullptr || control == nullptr) return;
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(hint);
    SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

int TForm1::Scale(int designPixels) const
{
    return MulDiv(designPixels, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
}

win::UniqueGdiObject TForm1::DesignedFont() const
{
    LOGFONTA face{};
    face.lfHeight = -Scale(layout::kForm.fontHeight);
    face.lfCharSet = DEFAULT_CHARSET;
    std::string_view(layout::kForm.fontFace).copy(face.lfFaceName, LF_FACESIZE - 1);
    return win::UniqueGdiObject(CreateFontIndirectA(&face));
}

void TForm1::CreateControls()
{
    font_ = DesignedFont();
    for (std::size_t row = 0; row < std::size(layout::kControls); ++row) {
        const auto& design = layout::kControls[row];
        HWND control = controls_[row] = CreateChild(design);
        if (design.kind != layout::Kind::Panel && control != nullptr) tabOrder_.Append(control);
    }
    // EndoScan lies over the panel: it must be drawn above it.
    SetWindowPos(EndoScan(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Each control is made in its place with its font while the window is still
// hidden, so nothing is moved or painted twice before the first show.
HWND TForm1::CreateChild(const layout::ControlSpec& design)
{
    HWND parent = design.parent == layout::kPanel1 ? Panel1() : Handle();
    const RECT place = DesignedPlace(design);
    const auto make = [&](const char* className, DWORD style, DWORD exStyle = 0) {
        HWND control = CreateWindowExA(exStyle, className, design.caption, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                                       place.left, place.top, place.right - place.left, place.bottom - place.top,
                                       parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), instance_,
                                       nullptr);
        return win::CheckLastError(control, design.name);
    };

    HWND control = nullptr;
    switch (design.kind) {
    case layout::Kind::ScannerControl: control = CreateScanner(); break;
    case layout::Kind::PushButton: control = make(WC_BUTTONA, BS_PUSHBUTTON | WS_TABSTOP); break;
    case layout::Kind::Panel: control = make(kPanelClassName, 0, WS_EX_CONTROLPARENT); break;
    case layout::Kind::CheckBox: control = make(WC_BUTTONA, BS_AUTOCHECKBOX | WS_TABSTOP); break;
    case layout::Kind::DropDownList:
        control = make(WC_COMBOBOXA, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);
        for (const char* item : design.items) SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        break;
    }
    if (control != nullptr) ApplyDesign(control, design, false);
    return control;
}

HWND TForm1::CreateScanner()
{
    scanner::ScanEvents events;
    events.onControlStateChange = [this](short state) { DenoptixState(state); };
    events.onEndNewImageSet = [this] { DenOptixScanProxy1EndNewImageSet(); };
    events.onStartingScan = [this] { DenOptixScanProxy1StartingScan(); };
    events.onNewImage = [this](short location, const wchar_t* name) { DenOptixScanProxy1NewImage(location, name); };
    scanProxy_ = std::make_unique<scanner::TDenOptixScanProxy>(
        Handle(), ScannerBounds(), scanner::StateToHandOver(), std::move(events), scanner::LicenseKeyToHandOver());
    return scanProxy_->Window();
}

RECT TForm1::DesignedPlace(const layout::ControlSpec& design) const
{
    // An open drop-down list shows its items below the closed box.
    const int rows = design.kind == layout::Kind::DropDownList ? 6 : 1;
    const int left = Scale(design.left);
    const int top = Scale(design.top);
    return RECT{left, top, left + Scale(design.width), top + Scale(design.height) * rows};
}

// The font, and for a list its closed height and item height, as designed.
void TForm1::ApplyDesign(HWND control, const layout::ControlSpec& design, bool redraw) const
{
    if (font_) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), redraw ? TRUE : FALSE);
    if (design.kind != layout::Kind::DropDownList) return;
    SendMessageA(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scale(design.height) - 6);
    SendMessageA(control, CB_SETITEMHEIGHT, 0, Scale(layout::kForm.listItemHeight));
}

void TForm1::CreateHints()
{
    if (tooltips_ != nullptr) return;
    tooltips_ = CreateTooltips(Handle(), instance_);
    SendMessageA(tooltips_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    for (std::size_t row = 0; row < std::size(layout::kControls); ++row)
        AddHint(tooltips_, Handle(), controls_[row], layout::kControls[row].hint);
}

// A new DPI: a font of the new size, and every control in its new place.
void TForm1::ApplyLayout()
{
    win::UniqueGdiObject previous = std::move(font_);
    font_ = DesignedFont();
    for (std::size_t row = 0; row < std::size(layout::kControls); ++row) {
        const auto& design = layout::kControls[row];
        HWND control = controls_[row];
        if (control == nullptr) continue;
        ApplyDesign(control, design, true);
        if (design.kind == layout::Kind::ScannerControl) continue;  // docked: see OnSize
        const RECT place = DesignedPlace(design);
        MoveWindow(control, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
    }
    if (tooltips_ != nullptr) SendMessageA(tooltips_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    OnSize();
}

RECT TForm1::ScannerBounds() const
{
    RECT client{};
    if (Handle() != nullptr) GetClientRect(Handle(), &client);
    return RECT{0, 0, Scale(layout::kControls[0].width), client.bottom};
}

}  // namespace ui
