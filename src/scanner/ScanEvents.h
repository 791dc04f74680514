#pragma once
// The window's handlers for the four scanner-control events it binds.
#include <functional>

namespace scanner {

// An empty callback ignores its event. Exceptions thrown by a callback are
// reported by the standard error report and never reach the control.
struct ScanEvents {
    std::function<void(short sNewState)> onControlStateChange;
    std::function<void()> onEndNewImageSet;
    std::function<void()> onStartingScan;
    // szName is the control's string as delivered (may be null).
    std::function<void(short sLocation, const wchar_t* szName)> onNewImage;
};

}  // namespace scanner
