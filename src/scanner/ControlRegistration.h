#pragma once
// Why the scanner's control could not be created, in words an operator and
// an installer understand. A 64-bit Windows keeps two registry views of COM
// classes, one for 32-bit and one for 64-bit programs, and an in-process
// control can only be loaded by a program of its own bitness: a control
// registered in the other view alone shows up as "Class not registered".
#include <windows.h>

#include <string>

namespace scanner {

inline constexpr bool kThisBuildIs64Bit = sizeof(void*) == 8;

// Which registry views hold the control's in-process server, and the file
// each names (as registered: it may hold environment variables).
struct ControlRegistration {
    bool forThisBuild = false;   // the view of this program's bitness
    bool forOtherBuild = false;  // the other view
    std::string thisBuildServer;
    std::string otherBuildServer;

    // The same by the programs' bitness rather than this build's.
    bool For64BitPrograms() const noexcept { return kThisBuildIs64Bit ? forThisBuild : forOtherBuild; }
    bool For32BitPrograms() const noexcept { return kThisBuildIs64Bit ? forOtherBuild : forThisBuild; }
    const std::string& ServerFor(bool programs64) const noexcept
    {
        return programs64 == kThisBuildIs64Bit ? thisBuildServer : otherBuildServer;
    }
};
ControlRegistration FindControlRegistration(const CLSID& control);

// "{786AAF38-...}".
std::string ClsidText(const CLSID& control);

// For the trail: "{CLSID}, registered for 32-bit programs" and the like.
std::string DescribeControl(const CLSID& control, const ControlRegistration& registration);

// A plain account of a bitness mismatch, naming the build to use, when the
// class is registered for the other bitness only; empty otherwise.
std::string BitnessMismatch(const ControlRegistration& registration);

// The text of the start-up failure report for a control that CoCreateInstance
// refused with `failure`: the system's text, preceded by the mismatch.
std::string ControlCreationFailure(HRESULT failure, const ControlRegistration& registration);

}  // namespace scanner
