#include "win/ListSelection.h"

namespace win {

void SelectIndexFromCode(HWND combo, int index)
{
    // Windows clears the selection for an index past the end, Wine keeps
    // the old one; asking for -1 clears it on both.
    const auto count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    const int target = index >= 0 && index < count ? index : -1;
    if (SelectedIndex(combo) == target) return;
    // -1 travels as a sign-extended WPARAM, as the list expects.
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(static_cast<INT_PTR>(target)), 0);
}

int SelectedIndex(HWND combo)
{
    // CB_ERR is -1, the same as "no selection".
    return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

}  // namespace win
