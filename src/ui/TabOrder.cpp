#include "ui/TabOrder.h"

namespace ui {

namespace {
bool CanTakeFocus(HWND window) { return IsWindowVisible(window) && IsWindowEnabled(window); }

bool Holds(HWND stop, HWND focus) { return stop == focus || IsChild(stop, focus); }
}  // namespace

HWND TabOrder::Next(HWND focus, bool backwards) const
{
    const int count = static_cast<int>(stops_.size());
    if (count == 0) return nullptr;
    int current = -1;
    for (int i = 0; i < count; ++i) {
        if (Holds(stops_[static_cast<size_t>(i)], focus)) current = i;
    }
    const int step = backwards ? -1 : 1;
    int index = current < 0 ? (backwards ? count : -1) : current;
    for (int tried = 0; tried < count; ++tried) {
        index = (index + step + count) % count;
        HWND candidate = stops_[static_cast<size_t>(index)];
        if (CanTakeFocus(candidate)) return candidate;
    }
    return nullptr;
}

bool TabOrder::PreTranslate(const MSG& message, HWND form) const
{
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
    if ((GetKeyState(VK_CONTROL) & 0x8000) != 0 || (GetKeyState(VK_MENU) & 0x8000) != 0) return false;
    if (!Holds(form, message.hwnd)) return false;
    HWND next = Next(message.hwnd, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
    if (next == nullptr) return false;
    SetFocus(next);
    return true;
}

}  // namespace ui
