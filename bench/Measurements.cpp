#include "Measurements.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "BenchProtocol.h"
#include "Clock.h"
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

void MeasureBridge(const Settings& settings, Hand& hand, Samples& samples)
{
    RunningProgram bridge("\"" + settings.binDir + "\\Denoptix.exe\" " + settings.destination, "TForm1");
    samples.startupMs.push_back(bridge.StartupMs());
    HWND control = testing_support::FindDescendant(bridge.MainWindow(), "DenoptixScanSimWindow");
    if (control == nullptr) throw std::runtime_error("the bridge hosts no stand-in control");
    const auto command = [control](const std::string& text) { SendCopyData(control, testing_support::kSimulatorChannel, text); };
    for (const std::size_t size : kSetSizes) {
        const auto names = MakeNames(size);
        hand.expected = Join(names, "\r\n", true);
        command("names " + Join(names, "|", false));
        // A scan of one set fills the bridge's list; firing the end of the
        // set again then times the hand-over alone. The first scan of each
        // size, like the floor's first hand-over, is not timed.
        hand.Time([&] { command("scan"); });
        for (int i = 0; i < settings.repeats; ++i)
            samples.wholeSetMs[size].push_back(hand.Time([&] { command("scan"); }));
        for (int i = 0; i < settings.repeats; ++i)
            samples.handOverMs[size].push_back(hand.Time([&] { command("fire OnEndNewImageSet"); }));
        if (size == 1000) samples.working.push_back(bridge.Memory());
    }
    samples.large.push_back(bridge.Memory());
    command("names");  // leave the stand-in with nothing large to keep
    bridge.Close();
}

void MeasureFloor(const Settings& settings, Hand& hand, Samples& samples)
{
    RunningProgram floor("\"" + settings.binDir + "\\DenoptixBenchFloor.exe\"", kFloorWindowClass);
    samples.startupMs.push_back(floor.StartupMs());
    HWND window = floor.MainWindow();
    for (const std::size_t size : kSetSizes) {
        hand.expected = Join(MakeNames(size), "\r\n", true);
        SendCopyData(window, kFloorLoadNames, hand.expected);
        hand.Time([&] { SendCopyData(window, kFloorHandOver, {}); });  // as the bridge's first scan
        for (int i = 0; i < settings.repeats; ++i)
            samples.handOverMs[size].push_back(hand.Time([&] { SendCopyData(window, kFloorHandOver, {}); }));
        if (size == 1000) samples.working.push_back(floor.Memory());
    }
    samples.large.push_back(floor.Memory());
    floor.Close();
}

}  // namespace

void Measure(const Settings& settings, Samples& bridge, Samples& floor)
{
    Hand hand;
    for (int run = 1; run <= settings.runs; ++run) {
        std::fprintf(stderr, "run %d of %d\n", run, settings.runs);
        MeasureBridge(settings, hand, bridge);
        MeasureFloor(settings, hand, floor);
    }
}

}  // namespace bench
