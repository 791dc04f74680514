// Long use: 2,000 image sets of 100 names through one running bridge. The
// first 1,000 reach two healthy receivers; in the next 1,000 one receiver
// is slow, hung or absent at random (seeded), segment by segment. The
// bridge's handles, GUI objects, windows and private memory must stay flat,
// and every set must reach the receivers with exactly its names.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "ResourceCounts.h"
#include "SoakReceivers.h"
#include "TestSupport.h"

namespace {

using namespace testing_support;
using soak::Behaviour;

constexpr int kNamesPerSet = 100;
constexpr int kWarmUpSets = 20;
constexpr int kSetsPerPhase = 1000;
constexpr int kSetsPerSegment = 100;
constexpr unsigned kSeed = 20240607;

// Allowed growth from the start (after the warm-up) to the end. A leak of
// one handle, object or clipboard block per set would pass these by far.
constexpr long kHandleAllowance = 16;
constexpr long kGuiObjectAllowance = 16;
constexpr long kWindowAllowance = 2;
constexpr double kPrivateMiBAllowance = 3.0;

std::string NameOf(int set, int image)
{
    char name[64];
    std::snprintf(name, sizeof name, "Z:\\soak\\set %04d\\IMG_%04d_%03d.bmp", set, set, image);
    return name;
}

// The clipboard text the receivers must find for a set.
std::string NamesOfSet(int set)
{
    std::string text;
    for (int image = 0; image < kNamesPerSet; ++image) text += NameOf(set, image) + "\r\n";
    return text;
}

// Bounded: even a set whose receiver hangs must come back within a few
// sends' timeouts.
void Command(HWND control, const std::string& text)
{
    if (!SendSimulatorCommand(control, text))
        throw std::runtime_error("the stand-in control did not carry out: " + text.substr(0, 30));
}

class SoakRun {
public:
    SoakRun(HWND control, soak::SoakReceivers& receivers) : control_(control), receivers_(receivers) {}

    // Scans `count` sets, one per scan: a scan's later sets would carry the
    // earlier sets' names too.
    void Sets(int count)
    {
        for (const int last = next_ + count; next_ < last; ++next_) {
            std::string names = "names ";
            for (int image = 0; image < kNamesPerSet; ++image) names += (image == 0 ? "" : "|") + NameOf(next_, image);
            Command(control_, names);
            Command(control_, "scan");
            receivers_.Sent(next_);
        }
    }

private:
    HWND control_;
    soak::SoakReceivers& receivers_;
    int next_ = 0;
};

void ExpectFlat(const soak::ResourceCounts& start, const soak::ResourceCounts& end)
{
    EXPECT_LE(end.handles - start.handles, kHandleAllowance) << "handles";
    EXPECT_LE(end.windows - start.windows, kWindowAllowance) << "windows";
    EXPECT_LE(end.privateMiB - start.privateMiB, kPrivateMiBAllowance) << "private memory";
    if (start.gdiObjects < 0 || start.userObjects < 0) {
        // Wine 8 does not count GUI objects per process; the window count above
        // still catches leaked windows there.
        std::printf("GDI and USER object counts are not available on this system\n");
        return;
    }
    EXPECT_LE(end.gdiObjects - start.gdiObjects, kGuiObjectAllowance) << "GDI objects";
    EXPECT_LE(end.userObjects - start.userObjects, kGuiObjectAllowance) << "USER objects";
}

TEST(Soak, TwoThousandSetsKeepTheBridgeFlatAndEveryNameArrives)
{
    DeleteBridgeSettings();
    TempFolder folder;
    soak::SoakReceivers receivers(folder.Path());
    BridgeRun bridge(BridgeCommandLine(folder.Path("Paziente 42")));
    ASSERT_NE(bridge.WaitForForm(), nullptr) << "the bridge's window never showed";
    HWND control = bridge.ScannerWindow();
    ASSERT_NE(control, nullptr) << "the bridge's window holds no stand-in control";

    SoakRun run(control, receivers);
    run.Sets(kWarmUpSets);
    const auto start = soak::MeasureResources(bridge.Handle(), bridge.Id());
    run.Sets(kSetsPerPhase);
    const auto middle = soak::MeasureResources(bridge.Handle(), bridge.Id());

    std::mt19937 random(kSeed);
    for (int segment = 0; segment < kSetsPerPhase / kSetsPerSegment; ++segment) {
        const unsigned pick = random() % 6;
        const Behaviour trouble = pick / 2 == 0 ? Behaviour::Absent : pick / 2 == 1 ? Behaviour::Hung : Behaviour::Slow;
        receivers.Arrange(pick % 2 == 0 ? trouble : Behaviour::Healthy, pick % 2 == 1 ? trouble : Behaviour::Healthy);
        const auto began = GetTickCount64();
        run.Sets(kSetsPerSegment);
        std::printf("segment %d: %s %s, %llu ms\n", segment, pick % 2 == 0 ? "host" : "photo server",
                    pick / 2 == 0 ? "absent" : pick / 2 == 1 ? "hung" : "slow", GetTickCount64() - began);
    }
    receivers.Arrange(Behaviour::Healthy, Behaviour::Healthy);
    const auto end = soak::MeasureResources(bridge.Handle(), bridge.Id());
    std::printf("start: %s\nafter 1,000: %s\nend: %s\n", soak::Describe(start).c_str(),
                soak::Describe(middle).c_str(), soak::Describe(end).c_str());
    ExpectFlat(start, end);

    for (const std::string& fault : receivers.StopAndVerify(NamesOfSet)) ADD_FAILURE() << fault;

    // The memory figure must move when the bridge's process really grows
    // (Wine fills only some of the counters): the stand-in control keeps
    // each scripted name as a string of its own, here half a million.
    std::string manyNames = "names x";
    for (int i = 1; i < 512 * 1024; ++i) manyNames += "|x";
    Command(control, manyNames);
    const auto grown = soak::MeasureResources(bridge.Handle(), bridge.Id());
    EXPECT_GT(grown.privateMiB - end.privateMiB, kPrivateMiBAllowance) << "the private memory figure does not move";
    DeleteBridgeSettings();
}

}  // namespace
