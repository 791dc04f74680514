// Every caption and list item fits its control as designed, measured with
// the font the window gave the control. Under Wine this needs Windows-like
// fonts: without them "MS Sans Serif" falls back to a much wider face and the
// operator would read "Custom Scar" and "Alta risoluzion".
#include "FormFixture.h"

#include <string_view>
#include <vector>

#include "ui/MainFormLayout.h"

namespace {

namespace layout = ui::layout;

int TextWidth(HWND control, std::string_view text)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

// What the control's own drawing takes from its width besides the text: a
// check box's mark and the gap after it (half a digit, as the button control
// draws it); a push button's frame and focus margin; a closed list's arrow,
// frame and margin.
int Furniture(HWND control, layout::Kind kind)
{
    const UINT dpi = GetDpiForWindow(control);
    const int edge = GetSystemMetricsForDpi(SM_CXEDGE, dpi);
    switch (kind) {
    case layout::Kind::CheckBox: return GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) + TextWidth(control, "0") / 2;
    case layout::Kind::PushButton: return 4 * edge;
    case layout::Kind::DropDownList: return GetSystemMetricsForDpi(SM_CXVSCROLL, dpi) + 4 * edge;
    default: return 0;
    }
}

using CaptionFit = FormFixture;

TEST_F(CaptionFit, EveryCaptionAndListItemFitsItsControlWithTheWindowsFont)
{
    CreateForm();
    for (const auto& design : layout::kControls) {
        std::vector<std::string_view> texts(design.items.begin(), design.items.end());
        if (design.caption != nullptr) texts.emplace_back(design.caption);
        if (texts.empty()) continue;

        HWND parent = design.parent == layout::kNoId ? Form().Handle() : GetDlgItem(Form().Handle(), design.parent);
        HWND control = GetDlgItem(parent, design.id);
        ASSERT_NE(control, nullptr) << design.name;
        RECT client{};
        GetClientRect(control, &client);
        const int room = client.right - Furniture(control, design.kind);
        for (std::string_view text : texts)
            EXPECT_LE(TextWidth(control, text), room) << design.name << ": \"" << text << "\" is clipped";
    }
}

}  // namespace
