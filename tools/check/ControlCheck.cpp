// The scanner control itself, brought up by the bridge's own code exactly as
// the bridge does it, read, and taken down again. Nothing is written to it:
// nothing powers on and nothing scans.
#include <windows.h>
#include <ocidl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "check/Checks.h"
#include "check/ElevationRule.h"
#include "check/FileFacts.h"
#include "check/StepWatch.h"
#include "scanner/ControlContract.h"
#include "scanner/ControlHost.h"
#include "scanner/LicenseKey.h"
#include "scanner/ScanProxy.h"
#include "scanner/StoredState.h"
#include "trail/Policy.h"
#include "trail/Trail.h"
#include "win/ComPtr.h"
#include "win/Error.h"
#include "win/Strings.h"
#include "win/TokenFacts.h"
#include "win/UniqueResource.h"

namespace check {

namespace {

constexpr RECT kBounds = {0, 0, 41, 134};
// The bridge's message loop would run what the control posts itself; the
// check gives it this long, at most, each time.
constexpr ULONGLONG kPostedWorkMs = 1000;
constexpr char kGuideSection[] = "see the integrator's guide, \"The control's stored state\"";

std::string Code(HRESULT code)
{
    return trail::Hex(static_cast<DWORD>(code)) + " " + win::SystemMessage(static_cast<DWORD>(code));
}

// The process id of a running bridge, or 0.
DWORD RunningBridgeProcessId()
{
    const HANDLE taken = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (taken == INVALID_HANDLE_VALUE) return 0;
    const win::UniqueHandle snapshot(taken);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
        if (lstrcmpiA(entry.szExeFile, "Denoptix.exe") == 0) return entry.th32ProcessID;
    return 0;
}

win::UniqueHwnd HiddenParent()
{
    // A plain static window, never shown: the control needs a parent, not a screen.
    return win::UniqueHwnd(win::CheckLastError(
        CreateWindowExA(0, "STATIC", "Denoptix check", WS_OVERLAPPED | WS_CLIPCHILDREN, 0, 0, 200, 200, nullptr,
                        nullptr, GetModuleHandleA(nullptr), nullptr),
        "A window for the control"));
}

// What the control's class factory says of its licence, read before the
// control is made, as the bridge's creation decides on it.
struct FactoryLicence {
    bool offersLicensing = false;  // IClassFactory2
    bool keyWanted = false;        // the licence is not verified on this machine
};

FactoryLicence ReadFactoryLicence(CheckReport& report, StepWatch& watch)
{
    const WatchedStep step(watch, "the question for its class factory");
    win::ComPtr<IClassFactory> factory;
    if (FAILED(CoGetClassObject(scanner::contract::kControlClsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                factory.put_void())))
        return {};  // its creation says why
    const auto licensing = factory.try_as<IClassFactory2>();
    LICINFO info{};
    info.cbLicInfo = sizeof info;
    if (!licensing || FAILED(licensing->GetLicInfo(&info))) {
        report.Add(Outcome::Ok, "its class factory knows no run-time licence (no IClassFactory2)");
        return {};
    }
    report.Add(Outcome::Ok, std::string("its class factory offers a run-time licence (IClassFactory2): a run-time "
                                        "key is ") + (info.fRuntimeKeyAvail ? "available" : "not available") +
                                ", the licence is " + (info.fLicVerified ? "verified" : "not verified") +
                                " on this computer");
    return {true, info.fLicVerified == FALSE};
}

void ReportFailedStep(CheckReport& report, const scanner::HostError& error, const scanner::StoredState& state,
                      const scanner::LicenseKey& licence, const FactoryLicence& factory)
{
    using scanner::HostStep;
    const HostStep step = error.Step();
    if (step == HostStep::Create && error.Code() == CLASS_E_NOTLICENSED) {
        const bool keyUsed = licence.Given() && factory.offersLicensing && factory.keyWanted;
        report.Add(Outcome::Failed, "not created from its CLSID: " + Code(error.Code()) + ". " +
                                        scanner::NotLicensedAdvice(licence, keyUsed));
        return;
    }
    if (step == HostStep::Create) {
        report.Add(Outcome::Failed, "not created from its CLSID: " + Code(error.Code()));
        return;
    }
    report.Add(Outcome::Ok, "created from its CLSID");
    if (step == HostStep::LoadState) {
        report.Add(Outcome::Failed, "its stored state (" + state.Description() + ") refused: " +
                                        Code(error.Code()) + ". " + state.RefusalAdvice());
        return;
    }
    report.Add(Outcome::Ok, "its stored state (" + state.Description() + ") accepted");
    if (step == HostStep::Activate) {
        report.Add(Outcome::Failed, "not activated in place: " + Code(error.Code()));
        return;
    }
    report.Add(Outcome::Ok, "activated in place in a hidden window");
    report.Add(Outcome::Failed, "its events could not be connected, so the bridge would never hear of a scan: " +
                                    Code(error.Code()));
}

// Read only: Enabled must be false for Accendi to power the scanner on.
void ReadBack(CheckReport& report, StepWatch& watch, scanner::TDenOptixScanProxy& control,
              const scanner::StoredState& state)
{
    try {
        const WatchedStep step(watch, "the read of Enabled");
        const bool enabled = control.Enabled();
        report.ControlRead();
        if (enabled) {
            report.Add(Outcome::Failed,
                       "Enabled reads true right after its stored state (" + state.Description() +
                           ") was loaded: the scanner would never power on, because this control keeps its state "
                           "in another format; " + kGuideSection + ", and the policy value ControlData");
        } else {
            report.Add(Outcome::Ok, "Enabled reads false: Accendi will power the scanner on");
        }
    } catch (const win::Error& error) {
        report.Add(Outcome::Failed, std::string("Enabled cannot be read: ") + error.what());
    }
    try {
        const WatchedStep step(watch, "the read of ControlState");
        report.Add(Outcome::Ok, "ControlState reads " + std::to_string(control.ControlState()));
    } catch (const win::Error& error) {
        report.Add(Outcome::Failed, std::string("ControlState cannot be read: ") + error.what());
    }
}

std::string HexBytes(const unsigned char* bytes, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        text += (i == 0 ? "" : " ") + std::string(pair);
    }
    return text;
}

void AddObjectFacts(CheckReport& report, const win::ComPtr<IDispatch>& dispatch)
{
    if (const auto object = dispatch.try_as<IOleObject>()) {
        DWORD misc = 0;
        if (SUCCEEDED(object->GetMiscStatus(DVASPECT_CONTENT, &misc)))
            report.Fact("control: OLEMISC flags " + trail::Hex(misc));
        SIZEL extent{};
        if (SUCCEEDED(object->GetExtent(DVASPECT_CONTENT, &extent)))
            report.Fact("control: extent " + std::to_string(extent.cx) + " x " + std::to_string(extent.cy) +
                        " HIMETRIC");
    }
}

// Save into memory only: what the control writes shows the format it keeps.
void AddStateFacts(CheckReport& report, const win::ComPtr<IDispatch>& dispatch)
{
    if (const auto persist = dispatch.try_as<IPersistStreamInit>()) {
        ULARGE_INTEGER size{};
        if (SUCCEEDED(persist->GetSizeMax(&size)))
            report.Fact("control: stored state of at most " + std::to_string(size.QuadPart) + " bytes");
        win::ComPtr<IStream> stream;
        HGLOBAL memory = nullptr;
        if (SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) &&
            SUCCEEDED(persist->Save(stream.get(), FALSE)) && SUCCEEDED(GetHGlobalFromStream(stream.get(), &memory))) {
            STATSTG stat{};
            stream->Stat(&stat, STATFLAG_NONAME);
            const auto count = static_cast<std::size_t>(std::min<ULONGLONG>(stat.cbSize.QuadPart, 64));
            const auto* bytes = static_cast<const unsigned char*>(GlobalLock(memory));
            if (bytes != nullptr) {
                report.Fact("control: the state it writes, " + std::to_string(stat.cbSize.QuadPart) +
                            " bytes: " + HexBytes(bytes, count) + (stat.cbSize.QuadPart > count ? " ..." : ""));
                GlobalUnlock(memory);
            }
        }
    }
}

void AddInterfaceFact(CheckReport& report, const win::ComPtr<IDispatch>& dispatch)
{
    UINT typeInfoCount = 0;
    win::ComPtr<ITypeInfo> typeInfo;
    BSTR name = nullptr;
    if (SUCCEEDED(dispatch->GetTypeInfoCount(&typeInfoCount)) && typeInfoCount == 1 &&
        SUCCEEDED(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, typeInfo.put())) &&
        SUCCEEDED(typeInfo->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr))) {
        const win::UniqueBstr owned(name);
        report.Fact("control: dispatch interface " + (owned.get() != nullptr ? win::ToNarrow(owned.get()) : std::string()));
    } else {
        report.Fact("control: no type information through IDispatch");
    }
}

void AddWindowFact(CheckReport& report, HWND window)
{
    if (window != nullptr) {
        char className[128] = {};
        GetClassNameA(window, className, sizeof className);
        RECT bounds{};
        GetClientRect(window, &bounds);
        report.Fact(std::string("control: window of class ") + className + ", " + std::to_string(bounds.right) +
                    " x " + std::to_string(bounds.bottom) + ", " + (IsWindowEnabled(window) ? "enabled" : "disabled"));
    } else {
        report.Fact("control: no window of its own");
    }
}

// What the control says of itself, read without changing it: what support
// needs to know of a control we have never run.
void AddFacts(CheckReport& report, scanner::TDenOptixScanProxy& control)
{
    const win::ComPtr<IDispatch> dispatch(control.Control());
    AddObjectFacts(report, dispatch);
    AddStateFacts(report, dispatch);
    AddInterfaceFact(report, dispatch);
    AddWindowFact(report, control.Window());
}

// Lets the thread's queue run until it is empty, as the bridge's message
// loop would between two steps: a control may post work to its own window
// while it comes up and expect it done before it is asked anything.
void RunPostedWork(StepWatch& watch)
{
    const WatchedStep step(watch, "the work it posted to its own window");
    const ULONGLONG until = GetTickCount64() + kPostedWorkMs;
    MSG message{};
    while (GetTickCount64() < until && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // not ours to take
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

const char* StepWords(scanner::HostStep step)
{
    switch (step) {
    case scanner::HostStep::Create: return "its creation";
    case scanner::HostStep::LoadState: return "the hand-over of its stored state";
    case scanner::HostStep::Activate: return "its activation";
    default: return "the connection of its events";
    }
}

// With the control registered for both kinds of program, only this check's
// own kind is created: say so, and which check creates the other.
void AddTheOtherRegistration(CheckReport& report, const scanner::ControlRegistration& registration)
{
    if (!registration.forThisBuild || !registration.forOtherBuild) return;
    const char* ours = scanner::kThisBuildIs64Bit ? "64-bit" : "32-bit";
    const char* other = scanner::kThisBuildIs64Bit ? "32-bit" : "64-bit";
    const std::string otherCheck = OtherBitnessCheck();
    report.Add(Outcome::Ok, std::string("the one registered for ") + ours + " programs was created; the one for " +
                                other + " programs was only inspected (its file, above): " +
                                (otherCheck.empty() ? std::string("the ") + other +
                                                          " DenoptixCheck.exe of the release creates it"
                                                    : "run " + otherCheck + " to create it too"));
}

}  // namespace

void CheckControl(CheckReport& report, StepWatch& watch, const scanner::ControlRegistration& registration)
{
    report.Section("The scanner control itself");
    if (const DWORD bridge = RunningBridgeProcessId()) {
        report.Add(Outcome::NotChecked, "the control was not created, because Denoptix.exe is running (process " +
                                            std::to_string(bridge) +
                                            ") and its control may be holding the scanner: close the bridge and "
                                            "run this check again");
        const win::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, bridge));
        const Finding finding = CompareBridgeElevation(win::ReadTokenFacts(GetCurrentProcess()),
                                                       process ? win::ReadTokenFacts(process.get()) : std::nullopt);
        report.Add(finding.outcome, finding.text);
        return;
    }
    const scanner::StateChoice choice = scanner::ChooseStoredState();
    if (!choice.policyIgnored.empty())
        report.Add(Outcome::Warning, std::string("the policy value ") + scanner::kControlDataPolicyValue + " under " +
                                         trail::kPolicyKeyPath + " is ignored (" + choice.policyIgnored +
                                         "): the built-in state is handed over instead");
    const scanner::LicenseChoice licence = scanner::ChooseLicenseKey();
    if (!licence.policyIgnored.empty())
        report.Add(Outcome::Warning, std::string("the policy value ") + scanner::kLicenseKeyPolicyValue + " under " +
                                         trail::kPolicyKeyPath + " is ignored (" + licence.policyIgnored +
                                         "): the control is created without a licence key");

    win::UniqueHwnd parent;
    try {
        parent = HiddenParent();
    } catch (const win::Error& error) {
        report.Add(Outcome::NotChecked, std::string("the control was not created: the check could not make the "
                                                    "window to hold it (") + error.what() + ")");
        return;
    }
    const FactoryLicence factory = ReadFactoryLicence(report, watch);
    std::unique_ptr<scanner::TDenOptixScanProxy> control;
    try {
        control = std::make_unique<scanner::TDenOptixScanProxy>(
            parent.get(), kBounds, choice.state, scanner::ScanEvents{}, licence.key,
            [&watch](scanner::HostStep step) { watch.Begin(StepWords(step)); });
        watch.Idle();
    } catch (const scanner::HostError& error) {
        watch.Idle();
        ReportFailedStep(report, error, choice.state, licence.key, factory);
        return;
    }
    const bool keyUsed = licence.key.Given() && factory.keyWanted;
    report.Add(Outcome::Ok, "created from its CLSID" +
                                (keyUsed ? ", with " + licence.key.Description() : std::string()));
    AddTheOtherRegistration(report, registration);
    report.Add(Outcome::Ok, "its stored state (" + choice.state.Description() + ") accepted");
    report.Add(Outcome::Ok, "activated in place in a hidden window");
    report.Add(Outcome::Ok, "its events connected");
    RunPostedWork(watch);
    ReadBack(report, watch, *control, choice.state);
    {
        const WatchedStep step(watch, "the questions support asks of it");
        AddFacts(report, *control);
    }
    RunPostedWork(watch);
    {
        const WatchedStep step(watch, "its teardown");
        control.reset();
    }
    report.Add(Outcome::Ok, "taken down again in the bridge's order");
}

}  // namespace check
