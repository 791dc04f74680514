#pragma once
// The application object: its own hidden top-level window (zero size,
// titled with the application title), the main window, and the message loop.
#include <windows.h>

#include "win/UniqueResource.h"

namespace ui {
class TForm1;
}

namespace app {

class Application {
public:
    explicit Application(HINSTANCE instance);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    HWND Handle() const noexcept { return window_.get(); }
    void SetMainForm(ui::TForm1* form) noexcept;

    // Shows the main window, then takes and dispatches messages until the
    // application is told to terminate. Returns the quit code.
    int Run(int showCommand);
    void Terminate() noexcept;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    win::UniqueHwnd window_;
    ui::TForm1* mainForm_ = nullptr;
};

// The program entry: the tail is the destination folder; the other
// arguments are there for the shape of a Windows entry and are not used.
int ProgramEntry(HINSTANCE instance, HINSTANCE previous, const char* tail, int showCommand);

// Process start-up: cuts the tail from the process command line, takes the
// show request from the start-up information and runs the entry.
int StartProcess(HINSTANCE instance);

}  // namespace app
