#pragma once
// The application object: its own hidden top-level window (zero size,
// titled with the application title), the main window, and the message loop.
#include <windows.h>

#include "win/BaseWindow.h"

namespace ui {
class TForm1;
}

namespace app {

class Application : public win::BaseWindow<Application> {
public:
    explicit Application(HINSTANCE instance);

    void SetMainForm(ui::TForm1* form) noexcept;

    // Shows the main window, then takes and dispatches messages until the
    // application is told to terminate. Returns the quit code.
    int Run(int showCommand);
    void Terminate() noexcept;

private:
    friend class win::BaseWindow<Application>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    ui::TForm1* mainForm_ = nullptr;
};

// The program entry: the tail is the destination folder.
int ProgramEntry(HINSTANCE instance, const char* tail, int showCommand);

// Process start-up: cuts the tail from the process command line, takes the
// show request from the start-up information and runs the entry.
int StartProcess(HINSTANCE instance);

}  // namespace app
