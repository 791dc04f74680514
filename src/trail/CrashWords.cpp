#include "trail/CrashWords.h"

#include "trail/Trail.h"

namespace trail {

namespace {

// ExceptionInformation[0] of an access violation: 0 read, 1 write, 8 execute.
constexpr ULONG_PTR kExecuteAccess = 8;

std::string SetSentence(long imagesNotHandedOver)
{
    if (imagesNotHandedOver <= 0) return "No set was in progress: the host program was told of every set scanned.";
    return "The host program was not told of the set in progress (" + std::to_string(imagesNotHandedOver) +
           (imagesNotHandedOver == 1 ? " image)." : " images).");
}

}  // namespace

bool IsExecuteFault(const EXCEPTION_RECORD& record) noexcept
{
    return record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 1 &&
           record.ExceptionInformation[0] == kExecuteAccess;
}

std::string CrashTrailLine(const EXCEPTION_RECORD& record, const CrashFacts& facts)
{
    const std::string kind = IsExecuteFault(record)
                                 ? " (execute: code run from data memory, stopped by DEP; see the policy value "
                                   "DataExecutionPrevention)"
                                 : "";
    return "crash: exception " + Hex(record.ExceptionCode) + kind + " in " + facts.module +
           "; images not handed over " + std::to_string(facts.imagesNotHandedOver) + "; report " +
           (facts.dump.empty() ? "not written" : facts.dump);
}

std::string CrashBoxText(const EXCEPTION_RECORD& record, const CrashFacts& facts)
{
    const std::string moduleName = facts.module.substr(0, facts.module.find('+'));
    const std::string dep =
        IsExecuteFault(record)
            ? "\n\nThe scanner's control tried to run code from data memory, which Windows' Data Execution "
              "Prevention (DEP) stops. If this happens at every start, IT can leave DEP to the system with the "
              "policy value DataExecutionPrevention (see the integrator's guide)."
            : "";
    return "Denoptix stopped because of a fault in " + moduleName + " (exception " + Hex(record.ExceptionCode) +
           ")." + dep + "\n\nThe images already scanned are on disk in the destination folder. " +
           SetSentence(facts.imagesNotHandedOver) + "\n\n" +
           (facts.dump.empty() ? std::string("No report could be written.")
                               : "A report for support is in " + facts.dump + ".");
}

}  // namespace trail
