#pragma once
// The bridge's message boxes: the standard error report, the one way errors
// reach the operator, and the plain box the settings store shows. Both carry
// the application title and go through one place, so tests can read them.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace win {

// A modal box with the application title as caption.
void ShowMessageBox(HWND owner, const std::string& text, UINT type);

// The standard error report: the message (with a full stop where it ends in
// a letter or digit), one OK button and the stop icon, owned by the report
// owner so it never opens behind the bridge's stay-on-top window.
void ShowErrorReport(std::string_view message) noexcept;

// Reports the exception being handled; call only inside a catch block.
void ReportCurrentException() noexcept;

// The window that owns the report boxes (the main window once it exists).
void SetReportOwner(HWND owner) noexcept;

// Every box's text also goes to the support trail, with this folder (the
// command-line tail) and any quoted path in it replaced by a placeholder.
void KeepFolderOutOfTrail(std::string folder);

// Tests see every box through a recorder instead of a real box; an empty
// function brings the real boxes back.
struct ShownBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};
using MessageBoxRecorder = std::function<void(const ShownBox& box)>;
void SetMessageBoxRecorderForTests(MessageBoxRecorder recorder);

}  // namespace win
