#pragma once
// What the crash report says: the trail's line and the operator's box, from
// the exception record and what the report found out.
#include <windows.h>

#include <string>

namespace trail {

struct CrashFacts {
    std::string module;                // "DenoptixScanSim.dll+0x1A2B"
    long imagesNotHandedOver = 0;      // since the last set went to the host
    std::string dump;                  // the minidump's path; empty when none was written
};

// An access violation of the kind "execute": code run from data memory,
// which DEP stops. On a 32-bit bridge that is the scanner's control (or a DLL
// it loaded) doing what components of the late 1990s did.
bool IsExecuteFault(const EXCEPTION_RECORD& record) noexcept;

std::string CrashTrailLine(const EXCEPTION_RECORD& record, const CrashFacts& facts);
std::string CrashBoxText(const EXCEPTION_RECORD& record, const CrashFacts& facts);

}  // namespace trail
