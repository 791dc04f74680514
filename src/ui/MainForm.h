#pragma once
// TForm1: the bridge's one window. It builds its controls from the layout
// description, hosts the scanner control docked on the left, and keeps all
// its behaviour in twelve handlers named after their control and event.
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "scanner/ScanProxy.h"
#include "ui/MainFormLayout.h"
#include "ui/TabOrder.h"
#include "win/BaseWindow.h"
#include "win/UniqueResource.h"

namespace settings {
struct SettingsTargets;
}

namespace ui {

// What happens to the window once the close handler has run.
enum class CloseAction { None, Hide };

class TForm1 : public win::BaseWindow<TForm1> {
public:
    // Creates the window hidden, every control and the scanner control, then
    // runs FormCreate (whose errors are reported, not thrown). Throws when
    // the window or the scanner control cannot be created. onClosed runs once
    // the window has closed (the application then terminates).
    TForm1(HINSTANCE instance, HWND applicationWindow, std::function<void()> onClosed);
    ~TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    void Show(int showCommand);
    // Closes as the close box does: FormClose first; an error there keeps the
    // window open for another try. A request that comes while a close is
    // running, or after it has ended, is ignored.
    void Close();
    // A close asked for from outside (WM_CLOSE, whoever sent it): held while
    // a box or dialog of the bridge's own is up, so the close never runs
    // underneath it, and run as the close box would once it is answered.
    void RequestClose();
    // Keyboard handling that must run before dispatch (the Tab order).
    bool PreTranslateMessage(const MSG& message) const;

    // The session's state.
    short LastControlState = 0;
    std::string ImageNames;
    std::string DestinationFolder;

    // The handlers.
    void AccendiClick();
    void DenoptixState(short sNewState);
    void DenOptixScanProxy1NewImage(short sLocation, const wchar_t* szName);
    void DenOptixScanProxy1EndNewImageSet();
    void DenOptixScanProxy1StartingScan();
    void FormClose(CloseAction& action);
    void FormCreate();
    void CustomScanClick();
    void EndoScanClick();
    void UnsharpClick();
    void ComboIntraResChange();
    void ComboExtraResChange();

    void PowerOnScanner();

    // The components, for the handlers, the settings store and tests.
    scanner::TDenOptixScanProxy& DenOptixScanProxy1() const { return *scanProxy_; }
    HWND Accendi() const { return Control<layout::kAccendi>(); }
    HWND Panel1() const { return Control<layout::kPanel1>(); }
    HWND CustomScan() const { return Control<layout::kCustomScan>(); }
    HWND EndoScan() const { return Control<layout::kEndoScan>(); }
    HWND Unsharp() const { return Control<layout::kUnsharp>(); }
    HWND ComboIntraRes() const { return Control<layout::kComboIntraRes>(); }
    HWND ComboExtraRes() const { return Control<layout::kComboExtraRes>(); }
    // Made at the first show.
    HWND Tooltips() const { return tooltips_; }

private:
    friend class win::BaseWindow<TForm1>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int notification);
    void OnSize();
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void OnEndSession();
    void OnEnable(bool enabled);

    template <layout::ControlId id>
    HWND Control() const
    {
        constexpr std::size_t row = layout::RowOf(id);
        return controls_[row];
    }
    void CreateControls();
    HWND CreateChild(const layout::ControlSpec& design);
    HWND CreateScanner();
    void CreateHints();
    void ApplyLayout();
    RECT DesignedPlace(const layout::ControlSpec& design) const;
    void ApplyDesign(HWND control, const layout::ControlSpec& design, bool redraw) const;
    win::UniqueGdiObject DesignedFont() const;
    RECT ScannerBounds() const;
    int Scale(int designPixels) const;
    settings::SettingsTargets Targets() const;

    // Changes a check box from code; like the operator's click, a real change
    // runs the box's handler.
    void SetChecked(HWND box, bool checked);
    // The number a resolution list shows for its selected item.
    short SelectedResolution(HWND list) const;

    // Where the window is in its close: a receiver may ask for another
    // close from inside the one that is notifying it.
    enum class CloseState { Open, Closing, Closed };
    CloseState closeState_ = CloseState::Open;
    bool closeHeld_ = false;

    HINSTANCE instance_;
    HWND applicationWindow_;
    std::function<void()> onClosed_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    win::UniqueGdiObject font_;
    // Row by row as in layout::kControls; children die with the window.
    std::array<HWND, std::size(layout::kControls)> controls_{};
    HWND tooltips_ = nullptr;
    TabOrder tabOrder_;
    std::unique_ptr<scanner::TDenOptixScanProxy> scanProxy_;
};

}  // namespace ui
