// DenoptixCheck: tells an installer, before the first patient, whether the
// bridge will work with the scanner control installed on this workstation.
// It never powers the scanner on and never scans.
//
//   DenoptixCheck.exe           from a console: prints the report
//                               from Explorer: shows it in a window
//   DenoptixCheck.exe /quiet    no output: the report file and the exit code
//
// Started where nobody can see a window (a service, an agent, an installer
// that hides it), it behaves as /quiet. Every way, the report goes to
// Check-<UTC time>.txt beside the trail.
// Exit code: 0 the control was read and nothing would stop a scan, 1 a line
// says FAILED, 2 the check could not finish (a line says "not checked", or no
// report could be made at all).
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

#include "check/Checks.h"
#include "check/ReportWindow.h"
#include "check/RunMode.h"
#include "trail/Trail.h"
#include "win/ComRuntime.h"
#include "win/Error.h"
#include "win/ProcessDep.h"

namespace {

struct Run {
    check::RunMode mode = check::RunMode::Console;
    std::string heading;
    std::string fileName;
    check::CheckReport report;
};

// The report beside the trail; the path, or empty when it cannot be written.
std::string SaveBesideTheTrail(const std::string& text, const std::string& fileName)
{
    const std::string folder = trail::SupportFolder();
    if (folder.empty()) return {};
    const std::string path = folder + "\\" + fileName;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    DWORD written = 0;
    const bool saved = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                       written == text.size();
    CloseHandle(file);
    return saved ? path : std::string();
}

void Print(const std::string& text)
{
    // The report's own CR LF, unchanged, also through a pipe or a file.
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// The report as far as it goes, saved and shown as the mode asks; the exit code.
int Conclude(const Run& run)
{
    const std::string text = run.report.Text(run.heading);
    const std::string saved = SaveBesideTheTrail(text, run.fileName);
    const std::string where = saved.empty() ? "The report could not be saved beside the trail.\r\n"
                                            : "This report is also in " + saved + "\r\n";
    if (run.mode == check::RunMode::Console) Print(text + where);
    if (run.mode == check::RunMode::Window) check::ShowReportWindow(text + "\r\n" + where, run.fileName);
    return run.report.Verdict();
}

// One section: whatever it throws is a line of its own, and the next runs.
void Section(check::CheckReport& report, const std::function<void()>& section)
{
    try {
        section();
    } catch (const std::exception& error) {
        report.Add(check::Outcome::Failed, std::string("the check met an unexpected error here: ") + error.what());
    }
}

void RunChecks(Run& run, check::StepWatch& watch, HRESULT com)
{
    check::CheckReport& report = run.report;
    scanner::ControlRegistration registration;
    Section(report, [&] { check::CheckMachine(report); });
    Section(report, [&] { registration = check::CheckRegistration(report); });
    Section(report, [&] {
        if (SUCCEEDED(com)) {
            check::CheckControl(report, watch, registration);
            return;
        }
        report.Section("The scanner control itself");
        report.Add(check::Outcome::NotChecked, "the control was not created: COM could not be started for the "
                                               "check (" + win::SystemMessage(static_cast<DWORD>(com)) + ")");
    });
    Section(report, [&] { check::CheckReceivers(report); });
    Section(report, [&] { check::CheckBridgePlaces(report); });
    Section(report, [&] { check::CheckWhereTheBridgeIs(report, registration); });
}

std::string StepTimedOut(const std::string& step)
{
    return "the control did not answer " + step + " within " + std::to_string(check::kStepLimitMs / 1000) +
           " s: the bridge would freeze there too";
}

}  // namespace

int main(int argc, char** argv)
{
    // As the bridge does, so the control is tried under the same DEP.
    win::TurnOnDepOnce();
    Run run;
    try {
        run.mode = check::RunModeOf(argc, argv);
    } catch (const std::invalid_argument& error) {
        Print(std::string("DenoptixCheck: ") + error.what() + "\r\n");
        return check::kCouldNotFinish;
    }
    if (run.mode != check::RunMode::Console) FreeConsole();  // no console window beside the report's own
    try {
        run.heading = std::string("Denoptix workstation check ") + DENOPTIX_VERSION + ", " +
                      (sizeof(void*) == 8 ? "64-bit" : "32-bit") + ", " + trail::UtcStamp(trail::StampFor::Heading);
        run.fileName = "Check-" + trail::UtcStamp(trail::StampFor::FileName) + ".txt";
        // Up for the whole run: the report window's Save dialog needs it too.
        const win::ComRuntime com;
        check::StepWatch watch([&run](const std::string& step) {
            run.report.Add(check::Outcome::Failed, StepTimedOut(step));
            return Conclude(run);
        });
        RunChecks(run, watch, com.result());
        if (!watch.Finish()) Sleep(INFINITE);  // the watcher is ending the check
        return Conclude(run);
    } catch (const std::exception& error) {
        const std::string text = std::string("The Denoptix workstation check could not run: ") + error.what() + "\r\n";
        if (run.mode == check::RunMode::Console) Print(text);
        if (run.mode == check::RunMode::Window) MessageBoxA(nullptr, text.c_str(), "Denoptix check", MB_OK | MB_ICONERROR);
        return check::kCouldNotFinish;
    }
}
