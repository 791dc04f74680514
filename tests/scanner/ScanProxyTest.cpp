// The scanner control hosted in a real window: the stand-in control
// DenoptixScanSim.dll, registered in the test prefix, driven through its
// command channel.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "ComApartment.h"
#include "TestSupport.h"
#include "win/ErrorReport.h"
#include "scanner/ControlData.h"
#include "scanner/ControlHost.h"
#include "scanner/ScanProxy.h"
#include "win/Error.h"
#include "win/UniqueResource.h"

namespace {

using namespace scanner;

using testing_support::WaitUntil;
constexpr RECT kBounds = {0, 0, 41, 134};

win::UniqueHwnd MakeParentWindow()
{
    WNDCLASSA description{};
    description.lpfnWndProc = DefWindowProcA;
    description.hInstance = GetModuleHandleA(nullptr);
    description.lpszClassName = "ScannerTestParent";
    RegisterClassA(&description);
    return win::UniqueHwnd(CreateWindowExA(0, description.lpszClassName, "Scanner test",
                                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 50, 50,
                                           320, 240, nullptr, nullptr, description.hInstance, nullptr));
}

std::array<LONG, 4> PlaceInParent(HWND child)
{
    const RECT r = testing_support::RectInParent(child);
    return {r.left, r.top, r.right, r.bottom};
}

template <typename Call>
std::string ErrorText(Call call)
{
    try {
        call();
    } catch (const win::Error& error) {
        return error.what();
    }
    return "(no error)";
}

class ScanProxyTest : public ::testing::Test {
protected:
    ScanProxyTest()
    {
        // The stand-in reads its log path when it is created.
        SetEnvironmentVariableA("DENOPTIX_SIM_LOG", logPath.c_str());
        win::SetMessageBoxRecorderForTests([this](const win::ShownBox& box) { reports.push_back(box.text); });
    }
    ~ScanProxyTest() override
    {
        proxy.reset();
        win::SetMessageBoxRecorderForTests(nullptr);
        SetEnvironmentVariableA("DENOPTIX_SIM_LOG", nullptr);
    }

    // One parent for the suite: under Wine a visible top-level window takes
    // about two seconds to destroy without a window manager.
    static void SetUpTestSuite() { parentWindow = MakeParentWindow(); }
    static void TearDownTestSuite() { parentWindow.reset(); }

    ScanEvents Recording()
    {
        ScanEvents events;
        events.onControlStateChange = [this](short s) { seen.push_back(L"state " + std::to_wstring(s)); };
        events.onStartingScan = [this] { seen.push_back(L"start"); };
        events.onEndNewImageSet = [this] { seen.push_back(L"end"); };
        events.onNewImage = [this](short, const wchar_t* name) {
            seen.push_back(std::wstring(L"image ") + (name ? name : L"(null)"));
        };
        return events;
    }
    void Host(const StoredState& state = BuiltInState()) { Host(Recording(), state); }
    void Host(ScanEvents events, const StoredState& state = BuiltInState())
    {
        proxy = std::make_unique<TDenOptixScanProxy>(parent.get(), kBounds, state, std::move(events));
    }
    void Command(const char* text) { ASSERT_TRUE(testing_support::SendSimulatorCommand(proxy->Window(), text)) << text; }
    bool LogHas(const std::string& line) const
    {
        const auto lines = testing_support::ReadLines(logPath);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    const testing_support::TempFolder temp;
    const std::string logPath = temp.Path("control.log");
    static inline win::UniqueHwnd parentWindow;
    const win::UniqueHwnd& parent = parentWindow;
    std::unique_ptr<TDenOptixScanProxy> proxy;
    std::vector<std::wstring> seen;
    std::vector<std::string> reports;
};

TEST_F(ScanProxyTest, ActiveInPlaceAsAVisibleChildAtItsBounds)
{
    Host();
    const HWND control = proxy->Window();
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(IsChild(parent.get(), control));
    EXPECT_TRUE(IsWindowVisible(control));
    EXPECT_EQ(PlaceInParent(control), (std::array<LONG, 4>{0, 0, 41, 134}));
    proxy->SetBounds({10, 20, 60, 220});
    EXPECT_EQ(PlaceInParent(control), (std::array<LONG, 4>{10, 20, 60, 220}));
    EXPECT_TRUE(LogHas("load ok: version 1.0, extent 1085 x 3545, enabled false"));
    EXPECT_FALSE(IsWindowEnabled(control)) << "off until power-on, as MFC's stock Enabled";
    EXPECT_FALSE(LogHas("initnew"));
}

// A control that refuses the state the bridge carries is not the one it was
// made for: creating it fails, and what was set up is taken down again.
TEST_F(ScanProxyTest, RefusedStateFailsTheCreation)
{
    // One byte short of the Enabled its mask names.
    const StoredState shortState(std::span<const std::byte>(kControlData).first(16), StoredState::Source::BuiltIn);
    try {
        Host(shortState);
        ADD_FAILURE() << "created";
    } catch (const HostError& error) {
        EXPECT_EQ(error.what(), "The scanner control refused its stored state: " +
                                    win::SystemMessage(static_cast<DWORD>(E_FAIL)) + "\n\n" +
                                    shortState.RefusalAdvice());
        EXPECT_EQ(error.Step(), HostStep::LoadState);
        EXPECT_EQ(error.Code(), E_FAIL);
    }
    EXPECT_EQ(proxy, nullptr);
    EXPECT_TRUE(LogHas("load failed"));
    EXPECT_FALSE(LogHas("initnew"));
    EXPECT_TRUE(LogHas("close"));
}

// Per-user class registrations do not shadow the machine's under Wine, so a
// missing control is provoked with a class nobody registers; the host runs
// the same creation path for it.
TEST_F(ScanProxyTest, UnregisteredControlGivesTheSystemsText)
{
    constexpr CLSID kNobody = {0x5C0B0D1E, 0x0000, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};
    EXPECT_EQ(ErrorText([&] { ControlHost(kNobody, parent.get(), kBounds, BuiltInState(), IID_IDispatch, nullptr); }),
              win::SystemMessage(static_cast<DWORD>(REGDB_E_CLASSNOTREG)));
}

TEST_F(ScanProxyTest, PropertiesRoundTripThroughTheControl)
{
    Host();
    using Get = bool (TDenOptixScanProxy::*)();
    using Set = void (TDenOptixScanProxy::*)(bool);
    const std::pair<Get, Set> booleans[] = {
        {&TDenOptixScanProxy::EnableCustomScan, &TDenOptixScanProxy::SetEnableCustomScan},
        {&TDenOptixScanProxy::EnableEndoScan, &TDenOptixScanProxy::SetEnableEndoScan},
        {&TDenOptixScanProxy::ScanParmUnsharpMask, &TDenOptixScanProxy::SetScanParmUnsharpMask}};
    for (const auto& [get, set] : booleans) {
        for (bool value : {true, false, true}) {
            (proxy.get()->*set)(value);
            EXPECT_EQ((proxy.get()->*get)(), value);
        }
    }
    proxy->SetScanParmIntraOralResolution(600);
    proxy->SetScanParmExtraOralResolution(-2);
    proxy->SetScanParmFinalLocation("C:\\Scans\\Rossi \"M\"");
    EXPECT_TRUE(LogHas("put ScanParmIntraOralResolution = 600"));
    EXPECT_TRUE(LogHas("put ScanParmExtraOralResolution = -2"));
    EXPECT_TRUE(LogHas("put ScanParmFinalLocation = \"C:\\\\Scans\\\\Rossi \\\"M\\\"\""));

    Command("state -7");
    EXPECT_EQ(proxy->ControlState(), -7);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"state -7"}));
}

TEST_F(ScanProxyTest, InjectedFailuresCarryTheControlsDescription)
{
    Host();
    Command("fail get EnableEndoScan Scanner occupato");
    Command("fail put Enabled Cavo scollegato");
    EXPECT_EQ(ErrorText([&] { proxy->EnableEndoScan(); }), "Scanner occupato");
    EXPECT_EQ(ErrorText([&] { proxy->SetEnabled(true); }), "Cavo scollegato");
    Command("fail clear");
    EXPECT_FALSE(proxy->EnableEndoScan());
}

TEST_F(ScanProxyTest, PowerOnReportsItsStatesUntilReady)
{
    Host();
    EXPECT_FALSE(proxy->Enabled());
    proxy->SetEnabled(true);
    EXPECT_TRUE(proxy->Enabled());
    ASSERT_TRUE(WaitUntil([&] { return !seen.empty() && seen.back() == L"state 6"; }));
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"state 1", L"state 3", L"state 6"}));
    EXPECT_EQ(proxy->ControlState(), 6);
}

TEST_F(ScanProxyTest, ScanEventsReachTheCallbacksWithTheirNames)
{
    Host();
    Command("names IMG_A.bmp||\xCE\xA9-\xE6\x97\xA5.bmp");  // an empty name, then Greek and CJK
    Command("scan");
    Command("names");
    Command("nullname");
    Command("scan");
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"start", L"image IMG_A.bmp", L"image ",
                                               L"image \u03A9-\u65E5.bmp", L"end", L"start",
                                               L"image (null)", L"end"}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(ScanProxyTest, CallbackFailureIsReportedAndLaterEventsStillArrive)
{
    ScanEvents events = Recording();
    events.onNewImage = [this, record = events.onNewImage](short location, const wchar_t* name) {
        record(location, name);
        throw win::Error("Nome non valido");
    };
    Host(std::move(events));
    Command("names a|b");
    Command("scan");
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"start", L"image a", L"image b", L"end"}));
    EXPECT_EQ(reports, (std::vector<std::string>{"Nome non valido.", "Nome non valido."}));
}

TEST_F(ScanProxyTest, UnboundEventsChangeNothing)
{
    Host();
    for (const char* command : {"fire OnStartNewImageSet", "fire OnEndingScan", "fire OnFailureToFindScanner",
                                "fire OnNewTempFile C:\\x.tmp", "fire OnHelpRequested", "fire OnMMResult 7"})
        Command(command);
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(reports.empty());
    Command("fire OnStartingScan");
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"start"}));
}

TEST_F(ScanProxyTest, TeardownReleasesTheControlAndTheEventSink)
{
    ScanEvents events;
    auto heldBySink = std::make_shared<int>(0);
    const std::weak_ptr<int> sinkAlive = heldBySink;
    events.onStartingScan = [heldBySink = std::move(heldBySink)] {};
    Host(std::move(events));
    ASSERT_FALSE(sinkAlive.expired());
    const HWND control = proxy->Window();
    proxy.reset();
    EXPECT_TRUE(sinkAlive.expired());
    EXPECT_FALSE(IsWindow(control));
    EXPECT_TRUE(LogHas("close"));
    EXPECT_EQ(testing_support::StandInCanUnloadNow(), S_OK);  // no object of the control left alive
}

}  // namespace
