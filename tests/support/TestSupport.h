#pragma once
// The tests' shared helpers in one include: the GoogleTest-free core (also
// used by the benchmark) and the fixtures built on GoogleTest.
#include <gtest/gtest.h>

#include "BridgeHarness.h"
#include "BridgeSettings.h"
#include "ChildProcess.h"
#include "Clipboard.h"
#include "Files.h"
#include "ReceiverLog.h"
#include "ReceiverWindowThread.h"
#include "StandInControl.h"
#include "Waiting.h"
#include "WindowSearch.h"

namespace testing_support {

// Each test starts from a first run: no bridge settings before or after.
class FreshSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteBridgeSettings(); }
    void TearDown() override { DeleteBridgeSettings(); }
};

// Takes the stand-in control's registration away while the object lives:
// creating the control then fails as on a machine without the scanner.
class MissingControlRegistration {
public:
    MissingControlRegistration();
    ~MissingControlRegistration();
    MissingControlRegistration(const MissingControlRegistration&) = delete;
    MissingControlRegistration& operator=(const MissingControlRegistration&) = delete;
};

// The control registered for the programs of the other bitness too, as a
// scanner's installer may write it: `dll` copied under that bitness's
// Program Files and named with %ProgramFiles% in a REG_EXPAND_SZ value.
// Both go again afterwards.
class OtherBitnessRegistration {
public:
    explicit OtherBitnessRegistration(const std::string& dll);
    ~OtherBitnessRegistration();
    OtherBitnessRegistration(const OtherBitnessRegistration&) = delete;
    OtherBitnessRegistration& operator=(const OtherBitnessRegistration&) = delete;

    // Where the programs of that bitness find it.
    const std::string& Path() const { return path_; }

private:
    std::string folder_;
    std::string path_;
};

}  // namespace testing_support
