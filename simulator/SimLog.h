#pragma once
// The optional log of everything the control did, for tests in another
// process. Each line is opened, appended and closed at once, so a reader
// sees it while the control runs.
#include <string>
#include <string_view>

namespace sim {

class SimLog {
public:
    void SetPath(std::wstring path) { path_ = std::move(path); }
    bool IsOn() const noexcept { return !path_.empty(); }

    // Appends one UTF-8 line and its LF; a log that cannot be written is
    // skipped, never an error of the control.
    void Write(std::string_view line) const noexcept;

private:
    std::wstring path_;
};

}  // namespace sim
