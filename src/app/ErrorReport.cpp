#include "app/ErrorReport.h"

#include <exception>

#include "app/ApplicationTitle.h"

namespace app {

namespace {
HWND g_owner = nullptr;
ReportRecorder g_recorder;
}  // namespace

void ShowErrorReport(std::string_view message) noexcept
{
    try {
        const std::string text = WithFullStop(message);
        if (g_recorder) {
            g_recorder(text);
            return;
        }
        HWND owner = g_owner != nullptr && IsWindow(g_owner) ? g_owner : nullptr;
        // Without an owner the box must still come up above our stay-on-top window.
        const UINT topmost = owner == nullptr ? MB_TOPMOST | MB_SETFOREGROUND : 0;
        MessageBoxA(owner, text.c_str(), ApplicationTitle().c_str(), MB_OK | MB_ICONSTOP | topmost);
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

HWND ReportOwner() noexcept { return g_owner; }

void SetReportRecorderForTests(ReportRecorder recorder) { g_recorder = std::move(recorder); }

}  // namespace app
