#include "scanner/ScanSession.h"

#include <string>

#include "scanner/FolderPath.h"
#include "scanner/FolderRoutines.h"
#include "win/ErrorReport.h"

namespace scanner {

void PowerOn(TDenOptixScanProxy& control, std::string_view destinationFolder, short& lastControlState)
{
    // Hosts quote folders with blanks; the quotes are never part of the name,
    // and a host whose folder variable was empty passes "" alone: no folder.
    const std::string folder = UsableDestination(destinationFolder);
    if (!folder.empty()) {
        DWORD failure = 0;
        if (CreateFolderPath(folder, &failure)) {
            control.SetScanParmFinalLocation(folder);
        } else {
            // The scanner still powers on, but the operator must know the
            // images will not land in this folder.
            win::ShowErrorReport(FolderCreationFailure(folder, failure));
        }
    }
    if (control.Enabled()) return;
    lastControlState = control.ControlState();
    control.SetEnabled(true);
}

}  // namespace scanner
