#include "app/OneBridge.h"

#include <cstdint>
#include <string>

#include "scanner/FolderPath.h"
#include "scanner/FolderRoutines.h"
#include "trail/Policy.h"
#include "trail/Trail.h"
#include "ui/MainFormLayout.h"
#include "win/ApplicationTitle.h"

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

void Note(const RunningBridge& running, const std::string& what)
{
    trail::Write("second start: bridge " + std::to_string(running.processId) + " " + what);
}

bool HasEnded(const RunningBridge& running) { return WaitForSingleObject(running.process.get(), 0) == WAIT_OBJECT_0; }

HWND VisibleWindowOf(const RunningBridge& running)
{
    const char* formClass = ui::layout::kForm.className;
    for (HWND window = FindWindowExA(nullptr, nullptr, formClass, nullptr); window != nullptr;
         window = FindWindowExA(nullptr, window, formClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == running.processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

// Until its window shows or it ends, within a bound.
void WaitUntilUp(const RunningBridge& running)
{
    if (VisibleWindowOf(running) != nullptr) return;
    const std::int64_t start = trail::Now();
    const ULONGLONG deadline = GetTickCount64() + kComingUpWaitMs;
    while (VisibleWindowOf(running) == nullptr && GetTickCount64() < deadline) {
        if (WaitForSingleObject(running.process.get(), 100) != WAIT_TIMEOUT) break;  // it has ended
    }
    Note(running, VisibleWindowOf(running) != nullptr ? "was still starting, up after " + trail::Since(start)
                                                       : "shows no window after " + trail::Since(start));
}

void BringToFront(const RunningBridge& running)
{
    AllowSetForegroundWindow(running.processId);
    HWND window = VisibleWindowOf(running);
    if (window == nullptr) return;
    if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
    SetForegroundWindow(window);
}

std::string Shown(std::string_view folder)
{
    const std::string usable = scanner::UsableDestination(folder);
    return usable.empty() ? "(no folder)" : usable;
}

// The boxes name the folders on the operator's screen; the trail never
// sees their text.
int ShowBox(const std::string& text, UINT type)
{
    return MessageBoxA(nullptr, text.c_str(), win::ApplicationTitle().c_str(), type | MB_TOPMOST | MB_SETFOREGROUND);
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

Answer AskToReplace(const RunningBridge& running, std::string_view folder)
{
    g_askedAbout = running.process.get();
    g_endedWhileAsked = false;
    const win::UniqueThreadTimer watch(SetTimer(nullptr, 0, kEndWatchMs, EndQuestionOnceGone));
    const int pressed = ShowBox("Denoptix is already open for the folder\n\n" + Shown(running.folder) +
                                    "\n\nand has now been started for the folder\n\n" + Shown(folder) +
                                    "\n\nClose the open Denoptix and start it for the new folder?",
                                MB_YESNO | MB_ICONQUESTION);
    g_askedAbout = nullptr;
    if (g_endedWhileAsked) return Answer::Ended;
    return pressed == IDYES ? Answer::Replace : Answer::Keep;
}

// As its close box would: the photo server is told and the settings written
// before it ends, so this start reads them afterwards.
bool CloseAndWait(const RunningBridge& running)
{
    if (HWND window = VisibleWindowOf(running)) PostMessageA(window, WM_CLOSE, 0, 0);
    const std::int64_t asked = trail::Now();
    if (WaitForSingleObject(running.process.get(), kCloseWaitMs) == WAIT_OBJECT_0) {
        Note(running, "runs for another folder: closed at the operator's word after " + trail::Since(asked));
        return true;
    }
    Note(running, "runs for another folder: asked to close, still running after 30 s; this start ends");
    ShowBox("The open Denoptix for the folder\n\n" + Shown(running.folder) +
                "\n\nhas not closed within 30 seconds. Close its window by hand, then start Denoptix again for "
                "the new folder.",
            MB_OK | MB_ICONSTOP);
    return false;
}

// Nothing: the running bridge has ended, and the record is looked at again.
std::optional<int> SettleWith(const RunningBridge& running, std::string_view folder)
{
    WaitUntilUp(running);
    if (HasEnded(running)) {
        Note(running, "ended while it was starting");
        return std::nullopt;
    }
    if (scanner::SameFolder(running.folder, folder)) {
        Note(running, "runs for the same folder: brought to the front; this start ends");
        BringToFront(running);
        return 0;
    }
    switch (AskToReplace(running, folder)) {
    case Answer::Ended:
        Note(running, "runs for another folder and ended while the question was open");
        return std::nullopt;
    case Answer::Keep:
        Note(running, "runs for another folder: kept at the operator's word; this start ends");
        BringToFront(running);
        return 1;
    case Answer::Replace:
        break;
    }
    if (CloseAndWait(running)) return std::nullopt;
    return 1;
}

}  // namespace

StartClearance ClearTheStart(std::string_view folder)
{
    StartClearance clearance;
    if (trail::SeveralBridgesAllowedByPolicy()) {
        trail::Write("second start: not looked for, policy value SeveralBridges is 1");
        return clearance;
    }
    clearance.record = std::make_unique<SessionRecord>();
    while (std::optional<RunningBridge> running = clearance.record->FindRunningOrClaim(folder)) {
        clearance.exitCode = SettleWith(*running, folder);
        if (clearance.exitCode) break;
    }
    return clearance;
}

}  // namespace app
