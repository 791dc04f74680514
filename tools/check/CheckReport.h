#pragma once
// The check's report: sections of lines, each "ok", "warning", "FAILED" or
// "not checked" and what was found, then facts for support. It holds no
// patient data: the check never sees a destination folder, an image name or
// the clipboard.
//
// Lines may come from two threads: the check's own, and the watcher that
// ends the check when the control stops answering.
#include <mutex>
#include <string>
#include <vector>

namespace check {

enum class Outcome { Ok, Warning, Failed, NotChecked };

// What the check's exit code says, for an installer's script.
enum ExitCode : int {
    kNothingStopsAScan = 0,  // Enabled was read, and no line says FAILED
    kSomethingFailed = 1,    // a line says FAILED
    kCouldNotFinish = 2,     // something was not checked, or no report at all
};

class CheckReport {
public:
    void Section(const std::string& title);
    void Add(Outcome outcome, const std::string& text);
    // A fact for support, not a finding: no outcome.
    void Fact(const std::string& text);
    // Enabled was read from the control itself: only then can the report
    // say that nothing stops a scan.
    void ControlRead();

    ExitCode Verdict() const;
    // The whole report, lines ending in CR LF, with a heading and a result.
    std::string Text(const std::string& heading) const;

private:
    struct Line {
        bool section;
        std::string text;
    };
    mutable std::mutex mutex_;
    std::vector<Line> lines_;
    std::vector<std::string> facts_;
    int failed_ = 0;
    int warnings_ = 0;
    int notChecked_ = 0;
    bool controlRead_ = false;
};

}  // namespace check
