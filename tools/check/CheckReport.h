#pragma once
// The check's report: sections of lines, each "ok", "warning" or "FAILED"
// and what was found, then facts for support. It holds no patient data:
// the check never sees a destination folder, an image name or the
// clipboard.
#include <string>
#include <vector>

namespace check {

enum class Outcome { Ok, Warning, Failed };

class CheckReport {
public:
    void Section(const std::string& title);
    void Add(Outcome outcome, const std::string& text);
    // A fact for support, not a finding: no outcome.
    void Fact(const std::string& text);

    bool AnyFailed() const noexcept { return failed_ > 0; }
    // The whole report, lines ending in CR LF, with a heading and a result.
    std::string Text(const std::string& heading) const;

private:
    struct Line {
        bool section;
        std::string text;
    };
    std::vector<Line> lines_;
    std::vector<std::string> facts_;
    int failed_ = 0;
    int warnings_ = 0;
};

}  // namespace check
