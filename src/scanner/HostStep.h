#pragma once
// The steps of bringing the scanner's control up, and the failure of one.
#include <windows.h>

#include <functional>
#include <string>

#include "win/Error.h"

namespace scanner {

// The steps of bringing a control up, in their order.
enum class HostStep { Create, LoadState, Activate, ConnectEvents };

// Told as each step begins, by whoever must know where a control that never
// returns got stuck (the workstation check); may be empty.
using HostStepObserver = std::function<void(HostStep)>;

// A failure to bring the control up: the text for the operator, the
// system's code, and the step that failed.
class HostError : public win::Error {
public:
    HostError(HostStep step, const std::string& text, HRESULT code) : win::Error(text, code), step_(step) {}
    HostStep Step() const noexcept { return step_; }

private:
    HostStep step_;
};

}  // namespace scanner
