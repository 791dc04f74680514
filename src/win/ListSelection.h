#pragma once
#include <windows.h>

namespace win {

// Selects an item of a drop-down list from code. CB_SETCURSEL is sent only
// when the selection would change, and it raises no change notification, so
// no change handler runs. An index that names no item (-1, or past the end)
// leaves the list with no selection.
void SelectIndexFromCode(HWND combo, int index);

// The selected index, -1 when nothing is selected.
int SelectedIndex(HWND combo);

}  // namespace win
