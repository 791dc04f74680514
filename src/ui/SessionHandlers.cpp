// The window's side of the scan session: the operator's power-on and the
// scanner control's events, each a thin handler over the session's rules.
#include "host/Notifier.h"
#include "scanner/ScanSession.h"
#include "scanner/SessionRules.h"
#include "trail/CrashReport.h"
#include "trail/Trail.h"
#include "ui/MainForm.h"

#include <string>

namespace ui {

void TForm1::PowerOnScanner() { scanner::PowerOn(DenOptixScanProxy1(), DestinationFolder, LastControlState); }

void TForm1::DenoptixState(short sNewState)
{
    trail::Write("control state " + std::to_string(sNewState));
    if (scanner::ReportDisablesAccendi(LastControlState, sNewState, IsWindowEnabled(Accendi()) != FALSE))
        EnableWindow(Accendi(), FALSE);
    LastControlState = sNewState;
}

void TForm1::DenOptixScanProxy1StartingScan() { ImageNames.clear(); }

void TForm1::DenOptixScanProxy1NewImage(short, const wchar_t* szName)
{
    scanner::AppendImageName(ImageNames, szName);
    trail::NoteImageReceived();
}

void TForm1::DenOptixScanProxy1EndNewImageSet()
{
    host::HandOverImageSet(applicationWindow_, ImageNames);
    trail::NoteSetHandedOver();
}

}  // namespace ui
