#include "host/Messages.h"

namespace host {

namespace {
// Plain integers, zero-initialised before any dynamic initializer runs, so
// the static initializer that registers may run in any order with others.
int g_registrations = 0;
UINT g_deleteResource = 0;
UINT g_acqDenoptix = 0;
}  // namespace

void RegisterMessages()
{
    if (g_registrations++ != 0) return;
    // The ids are not tested: a failed registration leaves 0, and a send of
    // message 0 is harmless.
    g_deleteResource = RegisterWindowMessageA(kDeleteResourceName);
    g_acqDenoptix = RegisterWindowMessageA(kAcqDenoptixName);
}

UINT WmDeleteResource() { return g_deleteResource; }

UINT WmAcqDenoptix() { return g_acqDenoptix; }

}  // namespace host
