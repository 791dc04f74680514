// The scanner control's registration: where Windows will look for it.
#include <string>

#include "check/Checks.h"
#include "check/FileFacts.h"
#include "scanner/ControlContract.h"

namespace check {

namespace {

void ReportView(CheckReport& report, bool registered, const std::string& server, bool view64)
{
    const std::string programs = view64 ? "64-bit programs" : "32-bit programs";
    if (!registered) {
        report.Add(Outcome::Ok, "not registered for " + programs);
        return;
    }
    const std::string path = ExpandedForView(server, view64);
    const FileFacts facts = ReadFileFacts(path, view64);
    if (!facts.exists) {
        report.Add(Outcome::Failed, "registered for " + programs + " as " + path +
                                        ", but that file is missing: install the scanner's software again");
        return;
    }
    const Machine expected = view64 ? Machine::X64 : Machine::X86;
    const std::string described = std::string("registered for ") + programs + ": " + path + ", a " +
                                  MachineName(facts.machine) + " file" +
                                  (facts.version.empty() ? std::string() : ", version " + facts.version);
    if (facts.machine == Machine::Unknown) {
        report.Add(Outcome::Warning, described + ": bitness unknown, its header cannot be read; the check below "
                                                 "tries it all the same");
        return;
    }
    if (facts.machine != expected) {
        report.Add(Outcome::Failed, described + ", which " + programs +
                                        " cannot load: install the scanner's software again");
        return;
    }
    report.Add(Outcome::Ok, described);
}

}  // namespace

scanner::ControlRegistration CheckRegistration(CheckReport& report)
{
    report.Section("The scanner control's registration");
    const auto clsid = scanner::contract::kControlClsid;
    const scanner::ControlRegistration registration = scanner::FindControlRegistration(clsid);
    const bool for32 = registration.For32BitPrograms();
    const bool for64 = registration.For64BitPrograms();

    if (!for32 && !for64) {
        report.Add(Outcome::Failed, "the scanner control " + scanner::ClsidText(clsid) +
                                        " is not registered, for 32- or 64-bit programs: install the scanner's "
                                        "software, which brings the control, then run this check again");
        return registration;
    }
    report.Add(Outcome::Ok, "the scanner control " + scanner::ClsidText(clsid));
    ReportView(report, for32, registration.ServerFor(false), false);
    ReportView(report, for64, registration.ServerFor(true), true);

    const std::string mismatch = scanner::BitnessMismatch(registration);
    if (!mismatch.empty()) {
        report.Add(Outcome::Failed, mismatch);
    } else {
        const char* matching = for32 && for64 ? "both Denoptix.exe builds match it; the 32-bit one is the standard"
                               : for32        ? "the 32-bit Denoptix.exe (the standard one) matches it"
                                              : "the 64-bit Denoptix.exe (in the x64 folder of the release) matches it";
        report.Add(Outcome::Ok, matching);
    }
    return registration;
}

}  // namespace check
