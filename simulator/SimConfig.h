#pragma once
// What a test or a demo can change in the stand-in control's behaviour, and
// the parsing shared by the WM_COPYDATA channel and the environment.
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "SimText.h"

namespace sim {

// A property get or put made to fail with DISP_E_EXCEPTION.
struct InjectedFailure {
    bool onPut = false;
    std::wstring property;  // as given; matched without regard to case
    std::wstring description;
};

// Longest pause between two power-on states a test may ask for.
inline constexpr int kMaxStepMs = 60000;

struct SimConfig {
    int imagesPerSet = 3;
    int sets = 1;
    std::vector<ReportedName> scriptedNames;  // empty: scans write real files
    std::vector<short> powerOnStates{1, 3, 6};
    UINT stepMs = 150;
    std::vector<InjectedFailure> failures;
    std::wstring defaultFolder;  // empty: %TEMP%\DenoptixScanSim
    std::wstring logPath;        // empty: no log
    bool autoScan = false;
    bool initialEnabled = false;
    bool refuseState = false;  // Load fails as for a state of another format
    std::vector<std::pair<std::wstring, std::wstring>> initialOptions;  // property, value
};

// "a|b\|c||d\0e" -> a, b|c, (empty), d<NUL>e. Only "\|" and "\0" are escapes;
// any other backslash is kept, so Windows paths need no doubling.
std::vector<ReportedName> ParseNames(std::wstring_view list);

// "1,3,6" -> 1, 3, 6. Throws std::invalid_argument on anything else.
std::vector<short> ParseStates(std::wstring_view list);

// A whole number from 0 to `maximum` (image and set counts, step times).
// Throws std::invalid_argument.
int ParseCount(std::wstring_view text, int maximum = 1000);

// "get" or "put", a property name and a description (which may hold blanks).
// Throws std::invalid_argument.
InjectedFailure ParseFailure(std::wstring_view kind, std::wstring_view property,
                             std::wstring_view description);

// "put:EnableEndoScan:Scanner busy;get:ControlState:Not ready".
std::vector<InjectedFailure> ParseFailureList(std::wstring_view list);

// "EnableEndoScan=1,EnableCustomScan=1".
std::vector<std::pair<std::wstring, std::wstring>> ParseOptionList(std::wstring_view list);

// The settings a separate process gave through DENOPTIX_SIM_* variables;
// a malformed variable is ignored rather than failing the control's creation.
SimConfig ConfigFromEnvironment();

}  // namespace sim
