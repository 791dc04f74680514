#include "check/CheckReport.h"

namespace check {

namespace {
const char* Word(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Ok: return "ok      ";
    case Outcome::Warning: return "warning ";
    default: return "FAILED  ";
    }
}
}  // namespace

void CheckReport::Section(const std::string& title) { lines_.push_back({true, title}); }

void CheckReport::Add(Outcome outcome, const std::string& text)
{
    if (outcome == Outcome::Failed) ++failed_;
    if (outcome == Outcome::Warning) ++warnings_;
    lines_.push_back({false, Word(outcome) + text});
}

void CheckReport::Fact(const std::string& text) { facts_.push_back(text); }

std::string CheckReport::Text(const std::string& heading) const
{
    std::string text = heading + "\r\n";
    for (const Line& line : lines_) text += (line.section ? "\r\n" : "  ") + line.text + "\r\n";
    if (!facts_.empty()) {
        text += "\r\nFacts for support\r\n";
        for (const std::string& fact : facts_) text += "  " + fact + "\r\n";
    }
    text += "\r\n";
    if (failed_ == 0) {
        text += "Result: nothing found that would stop a scan";
        text += warnings_ == 0 ? ".\r\n" : " (see the warnings).\r\n";
    } else {
        text += "Result: " + std::to_string(failed_) + (failed_ == 1 ? " line says" : " lines say") +
                " FAILED: the bridge will not scan until that is put right.\r\n";
    }
    return text;
}

}  // namespace check
