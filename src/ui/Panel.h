#pragma once
// A plain grouping panel: button-face background, raised 1-pixel bevel.
// Its children's notifications go on to the panel's parent, so the form
// handles them as if the controls were its own.
#include <windows.h>

namespace ui {

inline constexpr char kPanelClassName[] = "TPanel";

// Registers the panel's window class once per process.
void RegisterPanelClass(HINSTANCE instance);

}  // namespace ui
