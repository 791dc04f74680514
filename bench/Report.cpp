#include "Report.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace bench {

namespace {

double Median(std::vector<double> values)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

template <typename Field>
double MedianOf(const std::vector<MemoryFigures>& figures, Field field)
{
    std::vector<double> values;
    for (const auto& f : figures) values.push_back(f.*field);
    return Median(values);
}

std::string Format(const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// 100000 as "100,000".
std::string Count(std::size_t value)
{
    std::string digits = std::to_string(value);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

const char* Verdict(bool met) { return met ? "yes" : "**no**"; }

const char kNotes[] =
    "\n"
    "- Start-up: from just before CreateProcessA until the main window is visible; the floor shows one bare "
    "window.\n"
    "- Hand-over: from the command that ends a set (the stand-in control's `fire OnEndNewImageSet`; the floor's "
    "own command) until both receivers have read the clipboard. The floor opens, fills and closes the clipboard "
    "and makes the two sends.\n"
    "- Appending: a whole scan of one set less its hand-over, per name; it includes the stand-in control's own "
    "event calls, and at 1 name the fixed cost of a scan, which may be lost in the timing noise.\n"
    "- Private bytes: PeakPagefileUsage, which Wine 8 reports as the current value. After 100,000 names the "
    "bridge's process also holds the stand-in control's copy of the names.\n";

class Table {
public:
    void Row(const std::string& what, const std::string& bridge, const std::string& floor, const std::string& compared,
             const std::string& target, const char* met)
    {
        text_ += "| " + what + " | " + bridge + " | " + floor + " | " + compared + " | " + target + " | " + met + " |\n";
    }
    void Ratio(const std::string& what, double bridge, double floor)
    {
        const double ratio = bridge / floor;
        Row(what, Format("%.2f", bridge), Format("%.2f", floor), Format("%.2fx", ratio), "at most 1.5x",
            Verdict(ratio <= 1.5));
    }
    void Memory(const std::string& what, double bridge, double floor, bool hasTarget)
    {
        const double difference = bridge - floor;
        Row(what, Format("%.1f", bridge), Format("%.1f", floor), Format("%+.1f MiB", difference),
            hasTarget ? "at most +2 MiB" : "-", hasTarget ? Verdict(difference <= 2.0) : "-");
    }
    std::string text_ = "| measurement | Denoptix.exe | floor | compared | target | met |\n|---|---|---|---|---|---|\n";
};

void AppendingRows(Table& table, const Samples& bridge)
{
    // Appending = the whole set less its hand-over, per name; the stand-in
    // control's own event calls are part of it. At one name the difference
    // is within the timing noise and may even come out negative: it is
    // reported as such rather than as a time.
    std::vector<double> perName;
    for (const std::size_t size : kSetSizes) {
        const double appendMs = Median(bridge.wholeSetMs.at(size)) - Median(bridge.handOverMs.at(size));
        perName.push_back(appendMs * 1000.0 / static_cast<double>(size));
        const std::string figure = appendMs > 0 ? Format("%.2f", perName.back()) : "within noise";
        table.Row("appending, sets of " + Count(size) + (size == 1 ? " name" : " names") + ", per name (us)", figure,
                  "-", "-", "-", "-");
    }
    const bool measurable = perName[1] > 0 && perName.back() > 0;
    const double growth = perName.back() / perName[1];
    table.Row("appending, per name at 100,000 vs 1,000", "-", "-", measurable ? Format("%.2fx", growth) : "-",
              "linear: at most 2x", measurable ? Verdict(growth <= 2.0) : "not measurable");
}

}  // namespace

std::string FormatReport(const Samples& bridge, const Samples& floor, double bridgeExeKiB, double floorExeKiB)
{
    Table table;
    table.Ratio("start-up, process start to window visible (ms)", Median(bridge.startupMs), Median(floor.startupMs));
    for (const std::size_t size : kSetSizes)
        table.Ratio("hand-over, " + Count(size) + (size == 1 ? " name" : " names") + " (ms)",
                    Median(bridge.handOverMs.at(size)), Median(floor.handOverMs.at(size)));
    AppendingRows(table, bridge);
    table.Memory("peak working set, sets up to 1,000 names (MiB)", MedianOf(bridge.working, &MemoryFigures::peakWorkingSetMiB),
                 MedianOf(floor.working, &MemoryFigures::peakWorkingSetMiB), true);
    table.Memory("private bytes, sets up to 1,000 names (MiB)", MedianOf(bridge.working, &MemoryFigures::peakPrivateMiB),
                 MedianOf(floor.working, &MemoryFigures::peakPrivateMiB), true);
    table.Memory("peak working set, after 100,000 names (MiB)", MedianOf(bridge.large, &MemoryFigures::peakWorkingSetMiB),
                 MedianOf(floor.large, &MemoryFigures::peakWorkingSetMiB), false);
    table.Row("program size (KiB)", Format("%.0f", bridgeExeKiB), Format("%.0f", floorExeKiB), "-", "-", "-");
    return table.text_ + kNotes;
}

}  // namespace bench
