// The scan session: the operator's power-on and the scanner control's
// events. Its state is three fields of the main window, so its operations
// are the window's own methods.
#include "app/ErrorReport.h"
#include "host/Notifier.h"
#include "scanner/FolderPath.h"
#include "scanner/FolderRoutines.h"
#include "scanner/SessionRules.h"
#include "ui/MainForm.h"

namespace ui {

void TForm1::PowerOnScanner()
{
    auto& control = DenOptixScanProxy1();
    // Hosts quote folders with blanks; the quotes are never part of the name,
    // and a host whose folder variable was empty passes "" alone: no folder.
    const std::string folder = scanner::UsableDestination(DestinationFolder);
    if (!folder.empty()) {
        DWORD failure = 0;
        if (scanner::CreateFolderPath(folder, &failure)) {
            control.SetScanParmFinalLocation(folder);
        } else {
            // The scanner still powers on, but the operator must know the
            // images will not land in this folder.
            app::ShowErrorReport(scanner::FolderCreationFailure(folder, failure));
        }
    }
    if (control.Enabled()) return;
    LastControlState = control.ControlState();
    control.SetEnabled(true);
}

void TForm1::DenoptixState(short sNewState)
{
    if (scanner::ReportDisablesAccendi(LastControlState, sNewState, IsWindowEnabled(accendi_) != FALSE))
        EnableWindow(accendi_, FALSE);
    LastControlState = sNewState;
}

void TForm1::DenOptixScanProxy1StartingScan() { ImageNames.clear(); }

void TForm1::DenOptixScanProxy1NewImage(short, const wchar_t* szName)
{
    scanner::AppendImageName(ImageNames, szName);
}

void TForm1::DenOptixScanProxy1EndNewImageSet() { host::HandOverImageSet(applicationWindow_, ImageNames); }

}  // namespace ui
