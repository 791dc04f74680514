#pragma once
// The main window as designed, in pixels at 96 dpi: read side by side with
// the screen. The window builds itself from this description, scaled to the
// DPI Windows reports for it. The bridge declares no DPI awareness, so that
// Windows scales the window and the scanner control (which knows nothing of
// scaling) as one picture; it then always reports 96.
#include <windows.h>

#include <cstddef>
#include <initializer_list>
#include <span>

namespace ui::layout {

enum class Kind { ScannerControl, PushButton, Panel, CheckBox, DropDownList };

enum ControlId : int {
    kNoId = 0,
    kDenOptixScanProxy1 = 100,
    kAccendi = 101,
    kPanel1 = 102,
    kCustomScan = 103,
    kUnsharp = 104,
    kComboIntraRes = 105,
    kComboExtraRes = 106,
    kEndoScan = 107,
};

struct ControlSpec {
    const char* name;
    Kind kind;
    ControlId id;
    ControlId parent;  // kNoId: the window itself
    int left, top, width, height;
    const char* caption;
    const char* hint;
    std::span<const char* const> items;  // drop-down lists only
};

struct FormSpec {
    const char* className;
    const char* caption;
    int left, top, width, height;  // outer size
    const char* fontFace;
    int fontHeight;  // character height in pixels
    int listItemHeight;
};

inline constexpr FormSpec kForm = {"TForm1", "Denoptix", 691, 183, 182, 164, "MS Sans Serif", 11, 13};

inline constexpr const char* kIntraResItems[] = {"150", "300", "600"};
inline constexpr const char* kExtraResItems[] = {"150", "300"};

// In creation order, which is also the Tab order: EndoScan belongs to the
// window although it lies over the panel, so it comes after the panel's
// four controls.
// The scanner control's stored state, ControlData, is the control's own
// business: see scanner/ControlData.h.
inline constexpr ControlSpec kControls[] = {
    {"DenOptixScanProxy1", Kind::ScannerControl, kDenOptixScanProxy1, kNoId, 0, 0, 41, 134, nullptr,
     "Avvia la scansione", {}},
    {"Accendi", Kind::PushButton, kAccendi, kNoId, 45, 2, 52, 25, "Accendi", "Inizializza ed accendi lo scanner", {}},
    {"Panel1", Kind::Panel, kPanel1, kNoId, 45, 32, 116, 89, nullptr, nullptr, {}},
    {"CustomScan", Kind::CheckBox, kCustomScan, kPanel1, 4, 5, 89, 17, "Custom Scan", "Scelta delle rx da acquisire", {}},
    {"Unsharp", Kind::CheckBox, kUnsharp, kPanel1, 4, 43, 97, 17, "Unsharp", "Applica filtro Unsharp", {}},
    {"ComboIntraRes", Kind::DropDownList, kComboIntraRes, kPanel1, 4, 64, 43, 21, nullptr,
     "Risoluzione lastre intraorali", kIntraResItems},
    {"ComboExtraRes", Kind::DropDownList, kComboExtraRes, kPanel1, 54, 64, 43, 21, nullptr,
     "Risoluzione lastre extraorali", kExtraResItems},
    {"EndoScan", Kind::CheckBox, kEndoScan, kNoId, 50, 56, 97, 17, "Alta risoluzione",
     "Scansione a 600 dpi delle rx superiori", {}},
};

// The row of a control in kControls. Evaluated while compiling (see
// TForm1::Control), where an id without a row is an error.
constexpr std::size_t RowOf(ControlId id)
{
    std::size_t row = 0;
    while (kControls[row].id != id) ++row;  // past the end is no constant: an error
    return row;
}

}  // namespace ui::layout
