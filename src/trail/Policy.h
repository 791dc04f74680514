#pragma once
// What a practice's IT sets for every bridge on a machine, under
//   HKEY_LOCAL_MACHINE\Software\Policies\Velt\Denoptix
// read in the 64-bit view, where Group Policy tools write it, whichever the
// bridge's own bitness.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace trail {

inline constexpr char kPolicyKeyPath[] = "HKEY_LOCAL_MACHINE\\Software\\Policies\\Velt\\Denoptix";

struct PolicyValue {
    DWORD type = REG_NONE;
    DWORD size = 0;                   // as stored
    std::vector<unsigned char> data;  // empty when larger than asked for
};

// The value `name`, or nothing when the key or the value is absent.
std::optional<PolicyValue> ReadPolicyValue(const char* name, DWORD maxBytes) noexcept;

// The DWORD "Trail" set to 0.
bool TrailTurnedOffByPolicy() noexcept;

// The DWORD "SeveralBridges" set to 1: a workstation that really runs more
// than one bridge in a Windows session, each left alone by the others.
bool SeveralBridgesAllowedByPolicy() noexcept;

}  // namespace trail
