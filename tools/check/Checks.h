#pragma once
// The six checks, in the order the report gives them. Each adds its lines
// to the report; what one throws becomes a line of its own section, and the
// others still run.
#include "check/CheckReport.h"
#include "check/StepWatch.h"
#include "scanner/ControlRegistration.h"

namespace check {

// Windows, its bitness and this check's, each monitor's scaling, DEP.
void CheckMachine(CheckReport& report);

// The control's registration in both registry views, its files, the build
// that matches it.
scanner::ControlRegistration CheckRegistration(CheckReport& report);

// The control created as the bridge creates it, read, and torn down again,
// each call bounded by `watch`; not while a bridge runs.
void CheckControl(CheckReport& report, StepWatch& watch, const scanner::ControlRegistration& registration);

// The host's and the photo server's windows, and whether each runs as
// administrator when this check does not, or the reverse.
void CheckReceivers(CheckReport& report);

// The trail's folder and switch, the user's settings.
void CheckBridgePlaces(CheckReport& report);

// Each Denoptix.exe where it may be, and its Apps & features entry.
void CheckWhereTheBridgeIs(CheckReport& report, const scanner::ControlRegistration& registration);

}  // namespace check
