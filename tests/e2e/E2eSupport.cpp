#include "E2eSupport.h"

namespace e2e {

namespace {
constexpr char kNewImage[] = "fire OnNewImage(";
}

std::vector<std::string> E2eTest::LocationsWritten() const
{
    std::vector<std::string> locations;
    const std::string prefix = "put ScanParmFinalLocation = ";
    for (const auto& line : SimLog(prefix))
        locations.push_back(testing_support::SimLogString(line.substr(prefix.size())));
    return locations;
}

std::unique_ptr<BridgeRun> E2eTest::StartWithoutWaiting(const std::string& commandLine,
                                                         testing_support::EnvironmentList environment)
{
    environment.emplace_back("DENOPTIX_SIM_LOG", simLog_);
    environment.emplace_back("DENOPTIX_SIM_STEP_MS", "30");
    return std::make_unique<BridgeRun>(commandLine, environment, temp_.Path());
}

std::unique_ptr<BridgeRun> E2eTest::Start(const std::string& commandLine, testing_support::EnvironmentList environment)
{
    auto bridge = StartWithoutWaiting(commandLine, std::move(environment));
    if (bridge->WaitForForm() == nullptr) ADD_FAILURE() << "the main window never showed for: " << commandLine;
    return bridge;
}

bool E2eTest::PowerOn(BridgeRun& bridge) const
{
    bridge.Click(kAccendi);
    return testing_support::WaitUntil([&] { return !SimLog("put Enabled = true").empty(); }, 20s);
}

std::unique_ptr<BridgeRun> E2eTest::StartAndHandOverOneSet(const testing_support::ReceiverLog& receivers)
{
    auto bridge = Start(testing_support::BridgeCommandLine(temp_.Path()));
    const bool handedOver =
        PowerOn(*bridge) &&
        testing_support::WaitUntil([&] { return !IsWindowEnabled(bridge->Control(kAccendi)); }, 20s) &&
        bridge->Command("scan") && testing_support::WaitUntil([&] { return receivers.Messages().size() == 2; });
    if (!handedOver) ADD_FAILURE() << "no set reached both receivers";
    return bridge;
}

std::vector<std::string> ImagesInLog(const std::vector<std::string>& simLogLines)
{
    std::vector<std::string> names;
    for (const auto& line : simLogLines) {
        if (line.rfind(kNewImage, 0) != 0) continue;
        const size_t quote = line.find('"');
        names.push_back(quote == std::string::npos
                            ? std::string()
                            : testing_support::SimLogString(line.substr(quote, line.size() - 1 - quote)));
    }
    return names;
}

std::vector<std::string> HandOversInLog(const std::vector<std::string>& simLogLines)
{
    std::vector<std::string> handOvers;
    std::string names;
    for (const auto& line : simLogLines) {
        if (line == "fire OnStartingScan()") names.clear();
        if (line.rfind(kNewImage, 0) == 0) names += ImagesInLog({line}).front() + "\r\n";
        if (line == "fire OnEndNewImageSet()") handOvers.push_back(names);
    }
    return handOvers;
}

void ExpectMessage(const testing_support::Received& received, const char* windowClass, const char* message,
                   long long wParam)
{
    EXPECT_EQ(received.windowClass, windowClass);
    EXPECT_EQ(received.message, message);
    EXPECT_EQ(received.wParam, wParam);
    EXPECT_EQ(received.lParam, 0);
}

POINT WindowPlace(HWND window)
{
    RECT bounds{};
    GetWindowRect(window, &bounds);
    return POINT{bounds.left, bounds.top};
}

}  // namespace e2e
