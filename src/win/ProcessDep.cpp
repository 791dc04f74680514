#include "win/ProcessDep.h"

#include <cstring>

#include "trail/Trail.h"

namespace win {

namespace {

DepState ApplyDepPolicy() noexcept
{
    DepState state;
#if defined(_WIN64)
    state.always64Bit = true;
#else
    state.leftToSystem = DepLeftToSystem(trail::ReadPolicyValue(kDepPolicyValue, sizeof(DWORD)));
    if (!state.leftToSystem && !SetProcessDEPPolicy(PROCESS_DEP_ENABLE)) state.turnOnError = GetLastError();
    DWORD flags = 0;
    BOOL permanent = FALSE;
    if (GetProcessDEPPolicy(GetCurrentProcess(), &flags, &permanent)) state.flags = flags;
#endif
    return state;
}

}  // namespace

const DepState& TurnOnDepOnce() noexcept
{
    static const DepState state = ApplyDepPolicy();
    return state;
}

bool DepLeftToSystem(const std::optional<trail::PolicyValue>& value)
{
    if (!value || value->type != REG_DWORD || value->data.size() != sizeof(DWORD)) return false;
    DWORD setting = 1;
    std::memcpy(&setting, value->data.data(), sizeof setting);
    return setting == 0;
}

std::string DescribeDep(const DepState& state)
{
    if (state.always64Bit) return "DEP always on (64-bit)";
    std::string text = "DEP ";
    if (!state.flags)
        text += "unknown";
    else if ((*state.flags & PROCESS_DEP_ENABLE) == 0)
        text += "off";
    else
        text += ThunkEmulationOff(state) ? "on, without thunk emulation" : "on, with thunk emulation";
    if (state.leftToSystem) return text + " (as the system sets it: policy value " + kDepPolicyValue + " 0)";
    if (state.turnOnError != 0)
        return text + " (as the system sets it: turning it on failed, " + trail::Hex(state.turnOnError) + ")";
    return text + " (turned on at start)";
}

bool ThunkEmulationOff(const DepState& state)
{
    return !state.always64Bit && state.flags && (*state.flags & PROCESS_DEP_ENABLE) != 0 &&
           (*state.flags & PROCESS_DEP_DISABLE_ATL_THUNK_EMULATION) != 0;
}

std::string SystemDepPolicyName(int policy)
{
    switch (policy) {
    case 0: return "off for every program (AlwaysOff)";
    case 1: return "on for every program (AlwaysOn)";
    case 2: return "on for Windows and the programs that ask for it (OptIn, the default)";
    case 3: return "on for every program not exempted (OptOut)";
    default: return "unknown (" + std::to_string(policy) + ")";
    }
}

}  // namespace win
