#pragma once
// The smallest honest shape of a window class: the base owns the window, a
// static trampoline keeps `this` in the window's user data from WM_NCCREATE
// to WM_NCDESTROY and hands every message to the derived HandleMessage. The
// trampoline is an error boundary: no exception ever unwinds into user32.
#include <windows.h>

#include "win/Error.h"
#include "win/ErrorReport.h"
#include "win/UniqueResource.h"

namespace win {

template <typename Derived>
class BaseWindow {
public:
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;
    HWND Handle() const noexcept { return window_.get(); }

protected:
    BaseWindow() = default;
    // By now the derived part is gone, so nothing may reach its handler: a
    // derived class that wants to see its own WM_DESTROY calls DestroyNow().
    ~BaseWindow()
    {
        if (window_) SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
    }

    // Creates the window with this object behind it; throws with the
    // system's reason when it cannot be created.
    void CreateWindowFor(DWORD exStyle, const char* className, const char* title, DWORD style, int left, int top,
                         int width, int height, HWND parent, HINSTANCE instance)
    {
        CheckLastError(CreateWindowExA(exStyle, className, title, style, left, top, width, height, parent, nullptr,
                                       instance, static_cast<Derived*>(this)),
                       "CreateWindowEx");
    }

    // Destroys the window while the derived object is still whole; the
    // handle stays valid for the messages of its destruction.
    void DestroyNow() noexcept
    {
        if (window_) DestroyWindow(window_.get());
    }

    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        return DefWindowProcA(window_.get(), message, wParam, lParam);
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        Derived* self = nullptr;
        if (message == WM_NCCREATE) {
            self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            // Owned from here on, so messages sent during creation find the handle.
            self->window_.reset(hwnd);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        }
        if (self == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);

        LRESULT result = 0;
        try {
            result = self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            ReportCurrentException();
        }
        if (message == WM_NCDESTROY) {
            // The window is gone already: nothing left to destroy.
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->window_.release();
        }
        return result;
    }

private:
    UniqueHwnd window_;
};

}  // namespace win
