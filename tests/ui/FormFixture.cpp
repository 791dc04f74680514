#include "FormFixture.h"

#include <fstream>

#include "win/ErrorReport.h"

void FormFixture::SetUp()
{
    testing_support::DeleteBridgeSettings();
    temp_ = std::make_unique<testing_support::TempFolder>();
    logPath_ = temp_->Path() + "\\control.log";
    SetEnvironmentVariableA("DENOPTIX_SIM_LOG", logPath_.c_str());
    SetEnvironmentVariableA("DENOPTIX_SIM_STEP_MS", "20");
    win::SetMessageBoxRecorderForTests([this](const win::ShownBox& box) { reports_.push_back(box.text); });
    applicationWindow_.reset(CreateWindowExA(0, "STATIC", "Denoptix", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                             GetModuleHandleA(nullptr), nullptr));
}

void FormFixture::CreateForm()
{
    form_ = std::make_unique<ui::TForm1>(GetModuleHandleA(nullptr), applicationWindow_.get(),
                                         [this] { closed_ = true; });
}

void FormFixture::TearDown()
{
    form_.reset();
    win::SetMessageBoxRecorderForTests(nullptr);
    for (const char* name : {"DENOPTIX_SIM_LOG", "DENOPTIX_SIM_STEP_MS", "DENOPTIX_SIM_INITIAL_OPTIONS",
                             "DENOPTIX_SIM_INITIAL_ENABLED", "DENOPTIX_SIM_FAIL"})
        SetEnvironmentVariableA(name, nullptr);
    testing_support::DeleteBridgeSettings();
    temp_.reset();
}

void FormFixture::ClearLog() const { std::ofstream(logPath_, std::ios::trunc); }
