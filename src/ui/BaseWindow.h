#pragma once
// The smallest honest shape of a window class: a static trampoline keeps
// `this` in the window's user data from WM_NCCREATE to WM_NCDESTROY and
// hands every message to HandleMessage. The trampoline is an error boundary:
// no exception ever unwinds into user32.
#include <windows.h>

#include "app/ErrorReport.h"

namespace ui {

template <typename Derived>
class BaseWindow {
public:
    HWND Handle() const noexcept { return hwnd_; }

protected:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        Derived* self = nullptr;
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            self = static_cast<Derived*>(create->lpCreateParams);
            self->hwnd_ = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        }
        if (self == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);

        LRESULT result = 0;
        try {
            result = self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            app::ReportCurrentException();
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }

    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        return DefWindowProcA(hwnd_, message, wParam, lParam);
    }

    HWND hwnd_ = nullptr;
};

}  // namespace ui
