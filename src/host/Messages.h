#pragma once
// The two registered window messages the bridge sends to the host imaging
// application and the photo server. Receivers get the same numbers by
// registering the same names.
#include <windows.h>

namespace host {

inline constexpr char kDeleteResourceName[] = "WM_DELETE_RESOURCE";
inline constexpr char kAcqDenoptixName[] = "WM_ACQ_DENOPTIX";

// Registers "WM_DELETE_RESOURCE" then "WM_ACQ_DENOPTIX" on its first call
// only; later calls do nothing. The main window's module calls it from a
// static initializer, so the ids exist before any window does.
void RegisterMessages();

// The ids registered above (0 before RegisterMessages ran).
UINT WmDeleteResource();
UINT WmAcqDenoptix();

}  // namespace host
