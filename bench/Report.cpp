#include "Report.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <utility>

namespace bench {

namespace {

struct Spread {
    double median = 0, min = 0, max = 0;
};

Spread SpreadOf(std::vector<double> values)
{
    if (values.empty()) return {};
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    const double median = values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    return {median, values.front(), values.back()};
}

template <typename Field>
Spread SpreadOf(const std::vector<MemoryFigures>& figures, Field field)
{
    std::vector<double> values;
    for (const auto& f : figures) values.push_back(f.*field);
    return SpreadOf(std::move(values));
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

// "median (min-max)"; a program without the figure shows "-".
std::string Figure(const Spread& spread, const char* format)
{
    if (spread.max == 0) return "-";
    return Format("%s (%s-%s)", Format(format, spread.median).c_str(), Format(format, spread.min).c_str(),
                  Format(format, spread.max).c_str());
}

// 100000 as "100,000".
std::string Count(std::size_t value)
{
    const std::string digits = std::to_string(value);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

std::string SetOf(std::size_t size) { return Count(size) + (size == 1 ? " name" : " names"); }

const char* Verdict(bool met) { return met ? "yes" : "**no**"; }

const char kNotes[] =
    "\n"
    "Each figure is the median (lowest-highest) of interleaved runs; the verdicts compare medians. The true "
    "floor does only what any program meeting the bridge's contract must do before its window is visible, "
    "without deferring anything, and hands a set over from the stand-in control's events as the bridge does; "
    "the bare floor shows one bare window and hands over on its own command (for information).\n"
    "\n"
    "- Start-up: from just before CreateProcessA until the main window is visible.\n"
    "- Hand-over: from the command that ends a set (the stand-in control's `fire OnEndNewImageSet`; the bare "
    "floor's own command) until both receivers have read the clipboard.\n"
    "- Appending: a whole scan of one set less its hand-over, per name; it includes the stand-in control's own "
    "event calls, and at 1 name the fixed cost of a scan, which may be lost in the timing noise.\n"
    "- Private memory: PeakPagefileUsage, which Wine 8 reports as the current value, so the highest of the "
    "samples taken after start-up and after the sets of 1 and 1,000 names. After 100,000 names both scanner "
    "hosts also hold the stand-in control's copy of the names.\n";

class Table {
public:
    explicit Table(const Samples (&samples)[kProgramCount]) : s_(samples) {}

    void Row(const std::string& what, const std::string& bridge, const std::string& trueFloor,
             const std::string& bareFloor, const std::string& compared, const std::string& target, const char* met)
    {
        text_ += "| " + what + " | " + bridge + " | " + trueFloor + " | " + bareFloor + " | " + compared + " | " +
                 target + " | " + met + " |\n";
    }

    void Time(const std::string& what, const std::vector<double> Samples::*field, double limit)
    {
        Times(what, s_[kBridge].*field, s_[kTrueFloor].*field, s_[kBareFloor].*field, limit);
    }

    void HandOver(std::size_t size, double limit)
    {
        const auto of = [size](const Samples& s) { return s.handOverMs.at(size); };
        Times("hand-over, " + SetOf(size) + " (ms)", of(s_[kBridge]), of(s_[kTrueFloor]), of(s_[kBareFloor]), limit);
    }

    // Appending per name (us) at each size, then how it grows.
    void Appending()
    {
        double growth[2] = {};
        std::string perName[2][std::size(kSetSizes)];
        for (int program : {kBridge, kTrueFloor}) {
            for (std::size_t i = 0; i < std::size(kSetSizes); ++i) {
                const std::size_t size = kSetSizes[i];
                const double ms = SpreadOf(s_[program].wholeSetMs.at(size)).median -
                                  SpreadOf(s_[program].handOverMs.at(size)).median;
                const double us = ms * 1000.0 / static_cast<double>(size);
                perName[program][i] = ms > 0 ? Format("%.2f", us) : "within noise";
                if (size == 1000) growth[program] = us;
                if (size == 100000) growth[program] = growth[program] > 0 && us > 0 ? us / growth[program] : 0;
            }
        }
        for (std::size_t i = 0; i < std::size(kSetSizes); ++i)
            Row("appending, sets of " + SetOf(kSetSizes[i]) + ", per name (us)", perName[kBridge][i],
                perName[kTrueFloor][i], "-", "-", "-", "-");
        const auto shown = [](double g) { return g > 0 ? Format("%.2fx", g) : std::string("not measurable"); };
        Row("appending, per name at 100,000 vs 1,000", shown(growth[kBridge]), shown(growth[kTrueFloor]), "-", "-",
            "linear: at most 2x", growth[kBridge] > 0 ? Verdict(growth[kBridge] <= 2.0) : "-");
    }

    void Memory(const std::string& what, const std::vector<MemoryFigures> Samples::*when, double MemoryFigures::*field,
                bool hasTarget)
    {
        Spread m[kProgramCount];
        for (int p = 0; p < kProgramCount; ++p) m[p] = SpreadOf(s_[p].*when, field);
        const double difference = m[kBridge].median - m[kTrueFloor].median;
        Row(what, Figure(m[kBridge], "%.1f"), Figure(m[kTrueFloor], "%.1f"), Figure(m[kBareFloor], "%.1f"),
            Format("%+.2f MiB", difference), hasTarget ? "at most +0.5 MiB" : "-",
            hasTarget ? Verdict(difference <= 0.5) : "-");
    }

    void Size(const double (&kib)[kProgramCount])
    {
        Row("program size (KiB)", Format("%.0f", kib[kBridge]), Format("%.0f", kib[kTrueFloor]),
            Format("%.0f", kib[kBareFloor]), "-", "under 512 KiB", Verdict(kib[kBridge] < 512));
    }

    std::string text_ =
        "| measurement | Denoptix.exe | true floor | bare floor | Denoptix.exe vs true floor | target | met |\n"
        "|---|---|---|---|---|---|---|\n";

private:
    void Times(const std::string& what, const std::vector<double>& bridge, const std::vector<double>& trueFloor,
               const std::vector<double>& bareFloor, double limit)
    {
        const Spread b = SpreadOf(bridge), t = SpreadOf(trueFloor);
        const double ratio = b.median / t.median;
        Row(what, Figure(b, "%.2f"), Figure(t, "%.2f"), Figure(SpreadOf(bareFloor), "%.2f"), Format("%.2fx", ratio),
            Format("at most %.1fx", limit), Verdict(ratio <= limit));
    }

    const Samples (&s_)[kProgramCount];
};

// The marks both programs wrote, in the order the bridge reaches them.
std::string StepTable(const Samples& bridge, const Samples& trueFloor)
{
    if (bridge.stepMs.empty()) return {};
    std::vector<std::pair<double, std::string>> order;
    for (const auto& [step, values] : bridge.stepMs) order.emplace_back(SpreadOf(values).median, step);
    std::sort(order.begin(), order.end());
    std::string text =
        "\nStart-up steps, ms from process creation (DENOPTIX_STEP_TIMES, " +
        std::to_string(bridge.stepMs.begin()->second.size()) +
        " further runs each; the true floor makes its hints before the first show):\n\n"
        "| step | Denoptix.exe | true floor |\n|---|---|---|\n";
    for (const auto& [median, step] : order) {
        const auto floorStep = trueFloor.stepMs.find(step);
        text += "| " + step + " | " + Figure(SpreadOf(bridge.stepMs.at(step)), "%.1f") + " | " +
                (floorStep != trueFloor.stepMs.end() ? Figure(SpreadOf(floorStep->second), "%.1f") : "-") + " |\n";
    }
    return text;
}

}  // namespace

std::string FormatReport(const Samples (&samples)[kProgramCount], const double (&programKiB)[kProgramCount])
{
    Table table(samples);
    table.Time("start-up, process start to window visible (ms)", &Samples::startupMs, 1.0);
    for (const std::size_t size : kSetSizes) table.HandOver(size, 1.1);
    table.Appending();
    table.Memory("peak private memory, up to sets of 1,000 names (MiB)", &Samples::working,
                 &MemoryFigures::peakPrivateMiB, true);
    table.Memory("private memory, after 100,000 names (MiB)", &Samples::large, &MemoryFigures::peakPrivateMiB, true);
    table.Memory("peak working set, up to sets of 1,000 names (MiB)", &Samples::working,
                 &MemoryFigures::peakWorkingSetMiB, false);
    table.Memory("peak working set, after 100,000 names (MiB)", &Samples::large, &MemoryFigures::peakWorkingSetMiB,
                 false);
    table.Size(programKiB);
    return table.text_ + kNotes + StepTable(samples[kBridge], samples[kTrueFloor]);
}

}  // namespace bench
