#pragma once
// Tab and Shift+Tab move the focus in the window's declared order, which
// does not follow the stacking order (EndoScan lies over the panel but is
// the last stop). Disabled or hidden controls are passed over.
#include <windows.h>

#include <vector>

namespace ui {

class TabOrder {
public:
    void Append(HWND control) { stops_.push_back(control); }

    // Handles a Tab key press meant for `form` or one of its controls;
    // returns true when it moved the focus and the message must go no further.
    bool PreTranslate(const MSG& message, HWND form) const;

    // The stop after (or before) the one holding `focus`; null if none.
    HWND Next(HWND focus, bool backwards) const;

private:
    std::vector<HWND> stops_;
};

}  // namespace ui
