#include "Measurements.h"

#include <algorithm>
#include <utility>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "BenchProtocol.h"
#include "Clock.h"
#include "Files.h"
#include "StampReceivers.h"
#include "StandInControl.h"
#include "WindowSearch.h"

namespace bench {

namespace {

std::vector<std::string> MakeNames(std::size_t count)
{
    std::vector<std::string> names;
    names.reserve(count);
    // Short names: Wine refuses a cross-process message of a few MiB, and
    // 100,000 of them travel to the stand-in control in one command.
    char name[32];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, "IMG_%06zu.bmp", i);
        names.emplace_back(name);
    }
    return names;
}

std::string Join(const std::vector<std::string>& names, const char* separator, bool afterLast)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += names[i];
        if (afterLast || i + 1 < names.size()) text += separator;
    }
    return text;
}

// A set as the receivers must see it, and the receivers themselves.
struct Hand {
    StampReceiver host{kHostWindowClass};
    StampReceiver photo{kPhotoServerWindowClass};
    std::string expected;

    // Runs trigger and returns the time from its start until both receivers
    // had processed the message, after checking they got exactly the names.
    template <typename Trigger>
    double Time(Trigger trigger) const
    {
        const unsigned hostBefore = host.Last().count, photoBefore = photo.Last().count;
        const double start = NowMs();
        trigger();
        const Receipt h = host.Last(), p = photo.Last();
        for (const Receipt& r : {h, p}) {
            if (r.textBytes != expected.size() || r.textHash != HashBytes(expected))
                throw std::runtime_error("a receiver did not get exactly the names");
        }
        if (h.count != hostBefore + 1 || p.count != photoBefore + 1)
            throw std::runtime_error("a receiver missed the message");
        return std::max(h.doneMs, p.doneMs) - start;
    }
};

MemoryFigures Higher(const MemoryFigures& a, const MemoryFigures& b)
{
    return {std::max(a.peakWorkingSetMiB, b.peakWorkingSetMiB), std::max(a.peakPrivateMiB, b.peakPrivateMiB)};
}

// The bridge and the true floor: both host the stand-in control, and the
// sets come from its events.
void MeasureScannerHost(const std::string& commandLine, const char* windowClass, Hand& hand, int repeats,
                        Samples& samples)
{
    RunningProgram program(commandLine, windowClass);
    samples.startupMs.push_back(program.StartupMs());
    MemoryFigures working = program.Memory();
    HWND control = testing_support::FindDescendant(program.MainWindow(), "DenoptixScanSimWindow");
    if (control == nullptr) throw std::runtime_error(commandLine + " hosts no stand-in control");
    const auto command = [control](const std::string& text) { SendCopyData(control, testing_support::kSimulatorChannel, text); };
    for (const std::size_t size : kSetSizes) {
        const auto names = MakeNames(size);
        hand.expected = Join(names, "\r\n", true);
        command("names " + Join(names, "|", false));
        // A scan of one set fills the program's list; firing the end of the
        // set again then times the hand-over alone. The first scan of each
        // size, like the bare floor's first hand-over, is not timed.
        hand.Time([&] { command("scan"); });
        for (int i = 0; i < repeats; ++i) samples.wholeSetMs[size].push_back(hand.Time([&] { command("scan"); }));
        for (int i = 0; i < repeats; ++i)
            samples.handOverMs[size].push_back(hand.Time([&] { command("fire OnEndNewImageSet"); }));
        if (size <= 1000) working = Higher(working, program.Memory());
        if (size == 1000) samples.working.push_back(working);
    }
    samples.large.push_back(program.Memory());
    command("names");  // leave the stand-in with nothing large to keep
    program.Close();
}

std::string BareFloorCommandLine(const Settings& settings)
{
    return "\"" + settings.binDir + "\\DenoptixBenchFloor.exe\"";
}

void MeasureBareFloor(const Settings& settings, Hand& hand, Samples& samples)
{
    RunningProgram floor(BareFloorCommandLine(settings), kFloorWindowClass);
    samples.startupMs.push_back(floor.StartupMs());
    MemoryFigures working = floor.Memory();
    HWND window = floor.MainWindow();
    for (const std::size_t size : kSetSizes) {
        hand.expected = Join(MakeNames(size), "\r\n", true);
        SendCopyData(window, kFloorLoadNames, hand.expected);
        hand.Time([&] { SendCopyData(window, kFloorHandOver, {}); });  // as the first scan of the others
        for (int i = 0; i < settings.repeats; ++i)
            samples.handOverMs[size].push_back(hand.Time([&] { SendCopyData(window, kFloorHandOver, {}); }));
        if (size <= 1000) working = Higher(working, floor.Memory());
        if (size == 1000) samples.working.push_back(working);
    }
    samples.large.push_back(floor.Memory());
    floor.Close();
}

std::string BridgeCommandLine(const Settings& settings)
{
    return "\"" + settings.binDir + "\\Denoptix.exe\" " + settings.destination;
}

std::string TrueFloorCommandLine(const Settings& settings)
{
    return "\"" + settings.binDir + "\\DenoptixBenchTrueFloor.exe\"";
}

// Starts and closes a program with DENOPTIX_STEP_TIMES set and keeps the
// marks it wrote: "<step>\t<ms since process creation>" per line.
void MeasureSteps(const std::string& commandLine, const char* windowClass, Samples& samples)
{
    testing_support::TempFolder folder;
    const std::string path = folder.Path("steps.txt");
    {
        testing_support::ScopedEnvironment marks({{"DENOPTIX_STEP_TIMES", path}});
        RunningProgram program(commandLine, windowClass);
        program.Close();  // after the marks that follow the first show
    }
    for (const std::string& line : testing_support::ReadLines(path)) {
        const auto tab = line.find('\t');
        if (tab != std::string::npos) samples.stepMs[line.substr(0, tab)].push_back(std::atof(line.c_str() + tab + 1));
    }
}

}  // namespace

void Measure(const Settings& settings, Samples (&samples)[kProgramCount])
{
    Hand hand;
    // One start of each, not counted: the first start of a program under
    // Wine pays for files and registry entries no later start reads again.
    for (const auto& [commandLine, windowClass] :
         {std::pair<std::string, const char*>{BridgeCommandLine(settings), "TForm1"},
          {TrueFloorCommandLine(settings), kTrueFloorWindowClass},
          {BareFloorCommandLine(settings), kFloorWindowClass}})
        RunningProgram(commandLine, windowClass).Close();
    for (int run = 0; run < settings.runs; ++run) {
        std::fprintf(stderr, "run %d of %d\n", run + 1, settings.runs);
        // Each program goes first in turn, so none always follows the same one.
        for (int turn = 0; turn < kProgramCount; ++turn) {
            switch ((run + turn) % kProgramCount) {
            case kBridge:
                MeasureScannerHost(BridgeCommandLine(settings), "TForm1", hand, settings.repeats, samples[kBridge]);
                break;
            case kTrueFloor:
                MeasureScannerHost(TrueFloorCommandLine(settings), kTrueFloorWindowClass, hand, settings.repeats,
                                   samples[kTrueFloor]);
                break;
            default: MeasureBareFloor(settings, hand, samples[kBareFloor]); break;
            }
        }
    }
    for (int run = 0; run < settings.stepRuns; ++run) {
        MeasureSteps(BridgeCommandLine(settings), "TForm1", samples[kBridge]);
        MeasureSteps(TrueFloorCommandLine(settings), kTrueFloorWindowClass, samples[kTrueFloor]);
    }
}

}  // namespace bench
