// The option controls pass the operator's choice straight to the scanner
// control: each check box to one boolean property, each list to one
// resolution property.
#include <string>

#include "ui/DecimalText.h"
#include "ui/MainForm.h"
#include "win/Error.h"

namespace ui {

namespace {
bool IsChecked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) != BST_UNCHECKED; }
}  // namespace

void TForm1::AccendiClick() { PowerOnScanner(); }

void TForm1::CustomScanClick() { DenOptixScanProxy1().SetEnableCustomScan(IsChecked(CustomScan())); }

void TForm1::EndoScanClick() { DenOptixScanProxy1().SetEnableEndoScan(IsChecked(EndoScan())); }

void TForm1::UnsharpClick() { DenOptixScanProxy1().SetScanParmUnsharpMask(IsChecked(Unsharp())); }

void TForm1::ComboIntraResChange()
{
    DenOptixScanProxy1().SetScanParmIntraOralResolution(SelectedResolution(ComboIntraRes()));
}

void TForm1::ComboExtraResChange()
{
    DenOptixScanProxy1().SetScanParmExtraOralResolution(SelectedResolution(ComboExtraRes()));
}

short TForm1::SelectedResolution(HWND list) const
{
    const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    std::string text;
    if (index != CB_ERR) {
        const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length > 0) {
            text.resize(static_cast<size_t>(length) + 1);
            SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<size_t>(length));
        }
    }
    const auto value = ParseDecimalInteger(text);
    if (!value) throw win::Error("'" + text + "' is not a valid integer value");
    // The control takes a 16-bit value.
    return static_cast<short>(*value);
}

// A change made by the program runs the box's handler, as the operator's
// click does; setting the state the box already has runs nothing.
void TForm1::SetChecked(HWND box, bool checked)
{
    if (IsChecked(box) == checked) return;
    SendMessageA(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    OnCommand(GetDlgCtrlID(box), BN_CLICKED);
}

}  // namespace ui
