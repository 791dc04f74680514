#pragma once
// A real TForm1 in the test process, hosting the real stand-in control,
// with the error report recorded instead of shown and the control's calls
// logged to a file.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ComApartment.h"
#include "TestSupport.h"
#include "ui/MainForm.h"

class FormFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window (hidden, as at start-up); environment settings for
    // the stand-in control must be made before.
    void CreateForm();
    ui::TForm1& Form() { return *form_; }
    HWND ControlWindow() { return form_->DenOptixScanProxy1().Window(); }
    bool Command(const std::string& command) { return testing_support::SendSimulatorCommand(ControlWindow(), command); }

    // The stand-in's log lines that start with `prefix` ("put ", "get ", "fire ").
    std::vector<std::string> LogLines(const std::string& prefix = {}) const
    {
        return testing_support::LinesStartingWith(logPath_, prefix);
    }
    void ClearLog() const;

    std::vector<std::string> reports_;
    bool closed_ = false;
    std::unique_ptr<testing_support::TempFolder> temp_;
    std::string logPath_;

private:
    win::UniqueHwnd applicationWindow_;
    std::unique_ptr<ui::TForm1> form_;
};
