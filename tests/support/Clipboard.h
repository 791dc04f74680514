#pragma once
// The clipboard as another program on the workstation sees it.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "win/UniqueResource.h"

namespace testing_support {

using namespace std::chrono_literals;

// The CF_TEXT bytes up to the zero byte (never past the block), or nothing
// when there is no text or the clipboard stays held for the whole timeout.
// Only messages sent to this thread are handled while it waits, so it also
// serves inside a receiver's window procedure.
std::optional<std::string> ClipboardText(HWND owner = nullptr, std::chrono::milliseconds timeout = 5s);

// The clipboard held open by a window of this process until destruction.
class ClipboardHold {
public:
    ClipboardHold();
    ~ClipboardHold();
    ClipboardHold(const ClipboardHold&) = delete;
    ClipboardHold& operator=(const ClipboardHold&) = delete;
    bool Holding() const { return holding_; }

private:
    win::UniqueHwnd window_;
    bool holding_ = false;
};

// Waits until a window of the given process holds the clipboard open.
bool WaitUntilClipboardHeldBy(DWORD processId);

}  // namespace testing_support
