#include "check/CheckReport.h"

namespace check {

namespace {

const char* Word(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Ok: return "ok          ";
    case Outcome::Warning: return "warning     ";
    case Outcome::NotChecked: return "not checked ";
    default: return "FAILED      ";
    }
}

std::string Lines(int count, const char* what)
{
    return std::to_string(count) + (count == 1 ? " line says " : " lines say ") + what;
}

}  // namespace

void CheckReport::Section(const std::string& title)
{
    const std::lock_guard<std::mutex> guard(mutex_);
    lines_.push_back({true, title});
}

void CheckReport::Add(Outcome outcome, const std::string& text)
{
    const std::lock_guard<std::mutex> guard(mutex_);
    if (outcome == Outcome::Failed) ++failed_;
    if (outcome == Outcome::Warning) ++warnings_;
    if (outcome == Outcome::NotChecked) ++notChecked_;
    lines_.push_back({false, Word(outcome) + text});
}

void CheckReport::Fact(const std::string& text)
{
    const std::lock_guard<std::mutex> guard(mutex_);
    facts_.push_back(text);
}

void CheckReport::ControlRead()
{
    const std::lock_guard<std::mutex> guard(mutex_);
    controlRead_ = true;
}

ExitCode CheckReport::Verdict() const
{
    const std::lock_guard<std::mutex> guard(mutex_);
    if (failed_ > 0) return kSomethingFailed;
    return notChecked_ > 0 || !controlRead_ ? kCouldNotFinish : kNothingStopsAScan;
}

std::string CheckReport::Text(const std::string& heading) const
{
    const ExitCode verdict = Verdict();
    const std::lock_guard<std::mutex> guard(mutex_);
    std::string text = heading + "\r\n";
    for (const Line& line : lines_) text += (line.section ? "\r\n" : "  ") + line.text + "\r\n";
    if (!facts_.empty()) {
        text += "\r\nFacts for support\r\n";
        for (const std::string& fact : facts_) text += "  " + fact + "\r\n";
    }
    text += "\r\n";
    if (verdict == kSomethingFailed) {
        text += "Result: " + Lines(failed_, "FAILED") + ": the bridge will not scan until that is put right.\r\n";
    } else if (verdict == kCouldNotFinish) {
        text += "Result: the check could not finish" +
                (notChecked_ > 0 ? ": " + Lines(notChecked_, "not checked") : std::string()) +
                ". Nothing can be said yet about whether the bridge will scan: put that right and run this "
                "check again.\r\n";
    } else {
        text += "Result: nothing found that would stop a scan";
        text += warnings_ == 0 ? ".\r\n" : " (see the warnings).\r\n";
    }
    return text;
}

}  // namespace check
