#pragma once
// The report in a small window, for a check started from Explorer: the text,
// and "Copy" and "Save" buttons. Returns when the window is closed.
#include <string>

namespace check {

void ShowReportWindow(const std::string& report, const std::string& suggestedFileName);

}  // namespace check
