#include "app/OneBridge.h"

#include <cstdint>
#include <string>

#include "app/SecondStartRule.h"
#include "scanner/FolderRoutines.h"
#include "trail/Policy.h"
#include "trail/Trail.h"
#include "ui/MainFormLayout.h"
#include "win/ApplicationTitle.h"
#include "win/Strings.h"

namespace app {

namespace {

// A start under load takes a few seconds; one that takes longer is stuck
// (typically behind its own start-up report) and is decided on as it is.
constexpr DWORD kComingUpWaitMs = 15000;
constexpr DWORD kCloseWaitMs = 30000;
constexpr UINT kEndWatchMs = 250;

enum class Answer { Replace, Keep, Ended };

// The bridge an open question is about. A thread timer's callback carries
// nothing of ours, so it finds the process here; only the one thread asks.
HANDLE g_askedAbout = nullptr;
bool g_endedWhileAsked = false;

void Note(const OpenBridge& open, const std::string& what)
{
    trail::Write("second start: bridge " + std::to_string(open.processId) + " " + what);
}

// A process closed to this one cannot be watched; its window still tells.
bool HasEnded(const OpenBridge& open)
{
    return open.process && WaitForSingleObject(open.process.get(), 0) == WAIT_OBJECT_0;
}

HWND VisibleWindowOf(const OpenBridge& open)
{
    const char* formClass = ui::layout::kForm.className;
    for (HWND window = FindWindowExA(nullptr, nullptr, formClass, nullptr); window != nullptr;
         window = FindWindowExA(nullptr, window, formClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == open.processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

// Until its window shows or it ends, within a bound.
void WaitUntilUp(const OpenBridge& open)
{
    if (VisibleWindowOf(open) != nullptr) return;
    const std::int64_t start = trail::Now();
    const ULONGLONG deadline = GetTickCount64() + kComingUpWaitMs;
    while (VisibleWindowOf(open) == nullptr && GetTickCount64() < deadline) {
        if (!open.process) Sleep(100);
        else if (WaitForSingleObject(open.process.get(), 100) != WAIT_TIMEOUT) break;  // it has ended
    }
    Note(open, VisibleWindowOf(open) != nullptr ? "was still starting, up after " + trail::Since(start)
                                                 : "shows no window after " + trail::Since(start));
}

// Windows decides whether another program's window may come forward; the
// words for the trail say what it decided.
std::string BringToFront(const OpenBridge& open)
{
    HWND window = VisibleWindowOf(open);
    if (window == nullptr) return "no window to bring to the front";
    if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
    return SetForegroundWindow(window) ? "brought to the front" : "not brought to the front, Windows refused";
}

// The boxes name the folders on the operator's screen; the trail never
// sees their text. Wide, so the accented letters come out under any code page.
int ShowBox(const std::wstring& text, UINT type)
{
    return MessageBoxW(nullptr, text.c_str(), win::ToWide(win::ApplicationTitle()).c_str(),
                       type | MB_TOPMOST | MB_SETFOREGROUND);
}

BOOL CALLBACK EndMessageBox(HWND window, LPARAM)
{
    char className[8] = {};
    if (GetClassNameA(window, className, sizeof className) > 0 && lstrcmpA(className, "#32770") == 0)
        EndDialog(window, IDCANCEL);
    return TRUE;
}

// The question has no answer to wait for once the bridge it asks about has
// ended: the box goes away by itself.
void CALLBACK EndQuestionOnceGone(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_endedWhileAsked || g_askedAbout == nullptr || WaitForSingleObject(g_askedAbout, 0) != WAIT_OBJECT_0) return;
    g_endedWhileAsked = true;
    EnumThreadWindows(GetCurrentThreadId(), EndMessageBox, 0);
}

Answer AskToReplace(const OpenBridge& open, std::string_view folder)
{
    g_askedAbout = open.process.get();
    g_endedWhileAsked = false;
    const win::UniqueThreadTimer watch(SetTimer(nullptr, 0, kEndWatchMs, EndQuestionOnceGone));
    const int pressed = ShowBox(ReplaceQuestion(open.folder, folder), MB_YESNO | MB_ICONQUESTION);
    g_askedAbout = nullptr;
    if (g_endedWhileAsked) return Answer::Ended;
    return pressed == IDYES ? Answer::Replace : Answer::Keep;
}

bool Busy(HWND window) { return window != nullptr && !IsWindowEnabled(window); }

int ExplainBusy(const OpenBridge& open, std::string_view folder)
{
    Note(open, "runs for another folder, busy with a box of its own: " + BringToFront(open) + "; this start ends");
    ShowBox(WaitsForAnswer(open.folder, folder), MB_OK | MB_ICONWARNING);
    return 1;
}

int ExplainAdministrator(const OpenBridge& open, std::string_view folder)
{
    ShowBox(RunsAsAdministrator(open.folder, folder), MB_OK | MB_ICONWARNING);
    return 1;
}

// As its close box would: the photo server is told and the settings written
// before it ends, so this start reads them afterwards. Nothing is posted to
// a window with a box of its own up, which may have come since the question.
std::optional<int> CloseAndWait(const OpenBridge& open, std::string_view folder)
{
    HWND window = VisibleWindowOf(open);
    if (Busy(window)) return ExplainBusy(open, folder);
    if (window != nullptr && !PostMessageA(window, WM_CLOSE, 0, 0)) {
        Note(open, "runs for another folder: Windows refused the close request (error " +
                       std::to_string(GetLastError()) + "); this start ends");
        return ExplainAdministrator(open, folder);
    }
    const std::int64_t asked = trail::Now();
    if (WaitForSingleObject(open.process.get(), kCloseWaitMs) == WAIT_OBJECT_0) {
        Note(open, "runs for another folder: closed at the operator's word after " + trail::Since(asked));
        return std::nullopt;
    }
    Note(open, "runs for another folder: asked to close, still running after 30 s; this start ends");
    ShowBox(NotClosedInTime(open.folder), MB_OK | MB_ICONSTOP);
    return 1;
}

OpenBridgeFacts FactsOf(const OpenBridge& open, std::string_view folder, bool elevated)
{
    OpenBridgeFacts facts;
    facts.otherVersion = open.otherVersion;
    if (open.otherVersion) return facts;
    facts.sameFolder = scanner::SameFolder(open.folder, folder);
    facts.beyondReach = !open.process || (open.elevated && !elevated);
    facts.busy = Busy(VisibleWindowOf(open));
    return facts;
}

// Nothing: the open bridge has ended, and the record is looked at again.
std::optional<int> MeetOpenBridge(const OpenBridge& open, std::string_view folder, bool elevated)
{
    // Of another release nothing is known, not even its process.
    if (!open.otherVersion) {
        WaitUntilUp(open);
        if (HasEnded(open)) {
            Note(open, "ended while it was starting");
            return std::nullopt;
        }
        if (!open.process) Note(open, "is closed to this start, which is not elevated: it runs as administrator");
    }
    switch (StepWith(FactsOf(open, folder, elevated))) {
    case OpenBridgeStep::ExplainOtherVersion:
        trail::Write("second start: a bridge of another release runs; this start ends");
        ShowBox(OtherVersionOpen(), MB_OK | MB_ICONWARNING);
        return 1;
    case OpenBridgeStep::BringForward:
        Note(open, "runs for the same folder: " + BringToFront(open) + "; this start ends");
        return 0;
    case OpenBridgeStep::ExplainAdministrator:
        Note(open, "runs for another folder as administrator, this start does not; this start ends");
        return ExplainAdministrator(open, folder);
    case OpenBridgeStep::ExplainBusy:
        return ExplainBusy(open, folder);
    case OpenBridgeStep::AskToReplace:
        break;
    }
    switch (AskToReplace(open, folder)) {
    case Answer::Ended:
        Note(open, "runs for another folder and ended while the question was open");
        return std::nullopt;
    case Answer::Keep:
        Note(open, "runs for another folder: kept at the operator's word, " + BringToFront(open) +
                       "; this start ends");
        return 1;
    case Answer::Replace:
        break;
    }
    return CloseAndWait(open, folder);
}

}  // namespace

SessionClaim ClaimTheSession(std::string_view folder, bool elevated)
{
    SessionClaim claim;
    if (trail::SeveralBridgesAllowedByPolicy()) {
        trail::Write("second start: not looked for, policy value SeveralBridges is 1");
        return claim;
    }
    claim.record = SessionRecord::Open();
    if (!claim.record) return claim;
    while (std::optional<OpenBridge> open = claim.record->FindRunningOrClaim(folder, elevated)) {
        claim.exitCode = MeetOpenBridge(*open, folder, elevated);
        if (claim.exitCode) break;
    }
    return claim;
}

}  // namespace app
