#include "app/SecondStartRule.h"

#include "scanner/FolderPath.h"
#include "win/Strings.h"

namespace app {

namespace {

// From the tail's code page, as every folder the bridge shows.
std::wstring Shown(std::string_view folder)
{
    const std::string usable = scanner::UsableDestination(folder);
    return usable.empty() ? L"(nessuna cartella)" : win::ToWide(usable);
}

std::wstring OpenFor(std::string_view openFolder)
{
    return L"Il Denoptix aperto per la cartella\n\n" + Shown(openFolder) + L"\n\n";
}

std::wstring StartAgainFor(std::string_view newFolder)
{
    return L"poi avviare di nuovo Denoptix per la cartella\n\n" + Shown(newFolder);
}

}  // namespace

// Same folder first: nothing needs to close, whatever the open bridge is
// doing. Beyond reach before busy: an answered box would still leave a
// bridge this start cannot close.
OpenBridgeStep StepWith(const OpenBridgeFacts& facts)
{
    if (facts.otherVersion) return OpenBridgeStep::ExplainOtherVersion;
    if (facts.sameFolder) return OpenBridgeStep::BringForward;
    if (facts.beyondReach) return OpenBridgeStep::ExplainAdministrator;
    if (facts.busy) return OpenBridgeStep::ExplainBusy;
    return OpenBridgeStep::AskToReplace;
}

std::wstring ReplaceQuestion(std::string_view openFolder, std::string_view newFolder)
{
    return L"Denoptix \u00e8 gi\u00e0 aperto per la cartella\n\n" + Shown(openFolder) +
           L"\n\ned \u00e8 stato ora avviato per la cartella\n\n" + Shown(newFolder) +
           L"\n\nChiudere il Denoptix aperto e avviarlo per la nuova cartella?";
}

std::wstring NotClosedInTime(std::string_view openFolder)
{
    return OpenFor(openFolder) +
           L"non si \u00e8 chiuso entro 30 secondi. Chiudere la sua finestra a mano, poi avviare di nuovo Denoptix "
           L"per la nuova cartella.";
}

std::wstring RunsAsAdministrator(std::string_view openFolder, std::string_view newFolder)
{
    return OpenFor(openFolder) +
           L"\u00e8 in esecuzione come amministratore, e questo Denoptix non pu\u00f2 chiuderlo. Chiuderlo con il "
           L"suo pulsante di chiusura, " + StartAgainFor(newFolder);
}

std::wstring WaitsForAnswer(std::string_view openFolder, std::string_view newFolder)
{
    return OpenFor(openFolder) + L"attende una risposta nella propria finestra. Rispondere l\u00ec, " +
           StartAgainFor(newFolder);
}

std::wstring OtherVersionOpen()
{
    return L"\u00c8 aperto un Denoptix di un'altra versione. Chiuderlo con il suo pulsante di chiusura, poi avviare "
           L"di nuovo Denoptix.";
}

}  // namespace app
