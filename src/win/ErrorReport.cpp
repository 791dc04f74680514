#include "win/ErrorReport.h"

#include <exception>
#include <utility>

#include "trail/Trail.h"
#include "win/ApplicationTitle.h"
#include "win/FullStop.h"
#include "win/PrivateText.h"

namespace win {

namespace {
HWND g_owner = nullptr;
MessageBoxRecorder g_recorder;
std::string g_privateFolder;
}  // namespace

void ShowMessageBox(HWND owner, const std::string& text, UINT type)
{
    trail::Write("box: " + WithoutPrivateNames(text, g_privateFolder));
    if (g_recorder) {
        g_recorder(ShownBox{owner, text, ApplicationTitle(), type});
        return;
    }
    MessageBoxA(owner, text.c_str(), ApplicationTitle().c_str(), type);
}

void ShowErrorReport(std::string_view message) noexcept
{
    try {
        HWND owner = g_owner != nullptr && IsWindow(g_owner) ? g_owner : nullptr;
        // Without an owner the box must still come up above our stay-on-top window.
        const UINT topmost = owner == nullptr ? MB_TOPMOST | MB_SETFOREGROUND : 0;
        ShowMessageBox(owner, WithFullStop(message), MB_OK | MB_ICONSTOP | topmost);
    } catch (...) {
        // Out of memory while reporting: nothing sensible is left to show.
    }
}

void ReportCurrentException() noexcept
{
    try {
        throw;
    } catch (const std::exception& error) {
        ShowErrorReport(error.what());
    } catch (...) {
        ShowErrorReport("Unknown error");
    }
}

void SetReportOwner(HWND owner) noexcept { g_owner = owner; }

void KeepFolderOutOfTrail(std::string folder) { g_privateFolder = std::move(folder); }

void SetMessageBoxRecorderForTests(MessageBoxRecorder recorder) { g_recorder = std::move(recorder); }

}  // namespace win
