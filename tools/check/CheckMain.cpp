// DenoptixCheck: tells an installer, before the first patient, whether the
// bridge will work with the scanner control installed on this workstation.
// It never powers the scanner on and never scans.
//
//   DenoptixCheck.exe           from a console: prints the report
//                               from Explorer: shows it in a window
//   DenoptixCheck.exe /quiet    no output: the report file and the exit code
//
// Either way the report goes to Check-<UTC time>.txt beside the trail.
// Exit code: 0 nothing would stop a scan, 1 a line says FAILED, 2 the check
// itself could not run.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

#include "check/Checks.h"
#include "check/ReportWindow.h"
#include "trail/Trail.h"
#include "win/ComRuntime.h"
#include "win/Error.h"

namespace {

constexpr int kNothingFailed = 0;
constexpr int kSomethingFailed = 1;
constexpr int kCouldNotRun = 2;

enum class Mode { Console, Window, Quiet };

std::string UtcStamp(bool forFileName)
{
    SYSTEMTIME now{};
    GetSystemTime(&now);
    char text[40];
    std::snprintf(text, sizeof text, forFileName ? "%04u%02u%02uT%02u%02u%02uZ" : "%04u-%02u-%02u %02u:%02u:%02u UTC",
                  now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    return text;
}

// Started from Explorer, a console program gets a console of its own, which
// it alone uses; started from a prompt or a script, it shares one, or its
// output goes to a file or a pipe.
Mode ModeOf(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (lstrcmpiA(argv[i], "/quiet") == 0 || lstrcmpiA(argv[i], "-quiet") == 0) return Mode::Quiet;
        throw std::invalid_argument(std::string("unknown argument '") + argv[i] + "'; the only one is /quiet");
    }
    DWORD processes[2] = {};
    const bool ownConsole = GetConsoleProcessList(processes, 2) == 1;
    const DWORD output = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE));
    const bool redirected = output == FILE_TYPE_DISK || output == FILE_TYPE_PIPE;
    return ownConsole && !redirected ? Mode::Window : Mode::Console;
}

struct Findings {
    std::string text;
    bool failed;
};

Findings RunChecks()
{
    const win::ComRuntime com;
    win::ThrowIfFailed(com.result());
    check::CheckReport report;
    check::CheckMachine(report);
    const scanner::ControlRegistration registration = check::CheckRegistration(report);
    check::CheckControl(report);
    check::CheckReceivers(report);
    check::CheckBridgePlaces(report);
    check::CheckWhereTheBridgeIs(report, registration);
    const std::string heading = std::string("Denoptix workstation check ") + DENOPTIX_VERSION + ", " +
                                (sizeof(void*) == 8 ? "64-bit" : "32-bit") + ", " + UtcStamp(false);
    return {report.Text(heading), report.AnyFailed()};
}

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

}  // namespace

int main(int argc, char** argv)
{
    Mode mode = Mode::Console;
    try {
        mode = ModeOf(argc, argv);
        if (mode != Mode::Console) FreeConsole();  // no console window beside the report's own
        const auto [text, failed] = RunChecks();
        const std::string fileName = "Check-" + UtcStamp(true) + ".txt";
        const std::string saved = SaveBesideTheTrail(text, fileName);
        const std::string where = saved.empty() ? "The report could not be saved beside the trail.\r\n"
                                                : "This report is also in " + saved + "\r\n";
        if (mode == Mode::Console) Print(text + where);
        if (mode == Mode::Window) check::ShowReportWindow(text + "\r\n" + where, fileName);
        return failed ? kSomethingFailed : kNothingFailed;
    } catch (const std::exception& error) {
        const std::string text = std::string("The Denoptix workstation check could not run: ") + error.what() + "\r\n";
        if (mode == Mode::Console) Print(text);
        if (mode == Mode::Window) MessageBoxA(nullptr, text.c_str(), "Denoptix check", MB_OK | MB_ICONERROR);
        return kCouldNotRun;
    }
}
