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
    const std::string path = Expanded(server);
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
    if (facts.machine != expected && facts.machine != Machine::Unknown) {
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
    const bool this64 = scanner::kThisBuildIs64Bit;
    const bool for32 = this64 ? registration.forOtherBuild : registration.forThisBuild;
    const bool for64 = this64 ? registration.forThisBuild : registration.forOtherBuild;
    const std::string& server32 = this64 ? registration.otherBuildServer : registration.thisBuildServer;
    const std::string& server64 = this64 ? registration.thisBuildServer : registration.otherBuildServer;

    if (!for32 && !for64) {
        report.Add(Outcome::Failed, "the scanner control " + scanner::ClsidText(clsid) +
                                        " is not registered, for 32- or 64-bit programs: install the scanner's "
                                        "software, which brings the control, then run this check again");
        return registration;
    }
    report.Add(Outcome::Ok, "the scanner control " + scanner::ClsidText(clsid));
    ReportView(report, for32, server32, false);
    ReportView(report, for64, server64, true);

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
