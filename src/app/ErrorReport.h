#pragma once
// The standard error report: the one way errors reach the operator.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "app/FullStop.h"

namespace app {

// Shows the report: a modal box with the application title as caption, one
// OK button and the stop icon, owned by the report owner so it never opens
// behind the bridge's stay-on-top window.
void ShowErrorReport(std::string_view message) noexcept;

// Reports the exception being handled; call only inside a catch block.
void ReportCurrentException() noexcept;

// The window that owns the report boxes (the main window once it exists).
void SetReportOwner(HWND owner) noexcept;
HWND ReportOwner() noexcept;

// Tests replace the box with a recorder; the recorder gets the final text.
using ReportRecorder = std::function<void(const std::string& text)>;
void SetReportRecorderForTests(ReportRecorder recorder);

}  // namespace app
