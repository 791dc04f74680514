#pragma once
// The control's window: a light frame, a "Scan" button at the top and the
// scanner's state below it. It also carries the test channel (WM_COPYDATA)
// and the power-on timer, so it exists from the control's creation on:
// hidden and top-level until a container activates the control in place.
#include <windows.h>

#include <string_view>

namespace sim {

inline constexpr char kWindowClassName[] = "DenoptixScanSimWindow";
inline constexpr int kScanButtonId = 100;
inline constexpr ULONG_PTR kCommandMagic = 0x53584E44;  // 'DNXS'

// What the window asks of the control; called on the window's thread.
class ControlWindowOwner {
public:
    virtual void OnScanButton() noexcept = 0;
    virtual void OnPowerOnTimer() noexcept = 0;
    virtual bool OnCommandText(std::wstring_view command) noexcept = 0;

protected:
    ~ControlWindowOwner() = default;
};

class ControlWindow {
public:
    explicit ControlWindow(ControlWindowOwner& owner) noexcept : owner_(owner) {}
    ~ControlWindow() { Destroy(); }
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    // Replaces any window there is: a hidden top-level one when `parent` is
    // null, else a visible child at `position`; disabled unless `enabled`.
    // Throws win::Error.
    void Create(HWND parent, const RECT& position, short state, bool enabled);
    void Destroy() noexcept;

    HWND Handle() const noexcept { return hwnd_; }
    bool IsChild() const noexcept { return hwnd_ && (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_CHILD); }

    void ShowState(short state) noexcept;
    void StartTimer(UINT milliseconds) noexcept;
    void StopTimer() noexcept;
    // A write through a null pointer, soon, from the window's own message.
    bool PostFault() noexcept;

    // What the window shows for a state: "Spento", "Pronto", ...
    static const char* StateText(short state) noexcept;

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void OnCreate() noexcept;
    void OnSize(int width, int height) noexcept;
    void OnPaint() noexcept;
    LRESULT OnCopyData(const COPYDATASTRUCT* data) noexcept;

    ControlWindowOwner& owner_;
    HWND hwnd_ = nullptr;
    short state_ = 0;
};

}  // namespace sim
