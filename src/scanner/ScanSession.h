#pragma once
// The scan session's power-on, free of the window that runs it: the window
// keeps the session's fields and hands them in.
#include <string_view>

#include "scanner/ScanProxy.h"

namespace scanner {

// Makes the destination folder (the text between quotes when the host
// quoted it; none when it is empty) and hands it to the control as the
// images' location. A folder that cannot be made is reported, naming it, and
// the power-on goes on. Then, unless the control is on already, records its
// state in lastControlState and switches it on. Throws when the control
// refuses a property, or "Unable to create directory" when a relative folder
// has nothing to be made in.
void PowerOn(TDenOptixScanProxy& control, std::string_view destinationFolder, short& lastControlState);

}  // namespace scanner
