#pragma once
// Data Execution Prevention for the 32-bit programs that host the scanner's
// control. On a 32-bit program, the NX-compatible mark also makes Windows
// stop emulating the small code thunks that components of the late 1990s run
// from data memory, and such a control then dies as it creates its window.
// So the bridge and the check are linked without the mark, and turn DEP on
// themselves first thing, which keeps that emulation. A REG_DWORD
// DataExecutionPrevention of 0 in the policy key skips that, leaving DEP to
// the system's own policy, for a control that needs it off altogether.
// 64-bit programs always run with DEP; nothing is chosen there.
#include <windows.h>

#include <optional>
#include <string>

#include "trail/Policy.h"

namespace win {

inline constexpr char kDepPolicyValue[] = "DataExecutionPrevention";

struct DepState {
    bool always64Bit = false;    // a 64-bit program
    bool leftToSystem = false;   // the policy value said 0
    DWORD turnOnError = 0;       // why SetProcessDEPPolicy failed; 0 when it worked or was not called
    std::optional<DWORD> flags;  // PROCESS_DEP_* as Windows reports them afterwards
};

// The first call, at the very start of the process, applies the policy; every
// call returns what it did.
const DepState& TurnOnDepOnce() noexcept;

// Whether IT's policy value leaves DEP to the system: only a REG_DWORD 0.
bool DepLeftToSystem(const std::optional<trail::PolicyValue>& value);

// "DEP on, with thunk emulation (turned on at start)": for the trail's start
// line and the check.
std::string DescribeDep(const DepState& state);

// DEP on without the emulation that controls of the late 1990s need.
bool ThunkEmulationOff(const DepState& state);

// GetSystemDEPPolicy's answer in words.
std::string SystemDepPolicyName(int policy);

}  // namespace win
