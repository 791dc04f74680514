#pragma once
// What the end-to-end suites share: the bridge's control ids, a fixture that
// starts each test from a first run, and the hand-overs the stand-in
// control's log says the receivers must have seen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "ui/MainFormLayout.h"

namespace e2e {

using namespace std::chrono_literals;
using testing_support::BridgeRun;

// The controls as the window's layout names them.
using ui::layout::kAccendi;
using ui::layout::kCustomScan;
using ui::layout::kEndoScan;
using ui::layout::kUnsharp;
inline constexpr int kIntraRes = ui::layout::kComboIntraRes;
inline constexpr int kExtraRes = ui::layout::kComboExtraRes;

// The designed place of the main window at 96 dpi.
inline constexpr POINT kDesignedPlace = {ui::layout::kForm.left, ui::layout::kForm.top};

class E2eTest : public testing_support::FreshSettingsTest {
protected:
    std::string Path(const std::string& name) const { return temp_.Path(name); }
    std::vector<std::string> SimLog(const std::string& prefix = {}) const
    {
        return testing_support::LinesStartingWith(simLog_, prefix);
    }
    // The folder the control was told to put its images in, one per write.
    std::vector<std::string> LocationsWritten() const;
    // Starts the bridge in the test's folder, logging the control's calls,
    // and waits for its window.
    std::unique_ptr<BridgeRun> Start(const std::string& commandLine, testing_support::EnvironmentList environment = {});
    std::unique_ptr<BridgeRun> StartWithoutWaiting(const std::string& commandLine,
                                                   testing_support::EnvironmentList environment = {});
    // Presses Accendi and waits until the control has been told to power on.
    bool PowerOn(BridgeRun& bridge) const;
    // Starts the bridge in the test's folder, powers on, scans one set and
    // waits until both receivers have it; failures are the test's.
    std::unique_ptr<BridgeRun> StartAndHandOverOneSet(const testing_support::ReceiverLog& receivers);

    testing_support::TempFolder temp_;
    std::string simLog_ = Path("control.log");
};

// The clipboard text each image set must hand over, in order, rebuilt from
// the new-image and end-of-set events the control logged.
std::vector<std::string> HandOversInLog(const std::vector<std::string>& simLogLines);
// The image names the control reported, in order.
std::vector<std::string> ImagesInLog(const std::vector<std::string>& simLogLines);

void ExpectMessage(const testing_support::Received& received, const char* windowClass, const char* message,
                   long long wParam);

POINT WindowPlace(HWND window);

}  // namespace e2e
