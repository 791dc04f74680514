// The control's events as a container's sink receives them: scans (scripted
// and real), state reports, the power-on sequence and every other event.
#include <gtest/gtest.h>

#include <filesystem>

#include "SimulatorTestSupport.h"
#include "scanner/ControlContract.h"

namespace {

using namespace simtest;
namespace property = scanner::contract::property;
namespace event = scanner::contract::event;

using Image = std::pair<long, std::optional<std::wstring>>;

class ScanSimEvents : public ::testing::Test {
protected:
    void SetUp() override { cookie_ = control.Advise(*sink.get()); }

    // The image names the sink heard, in order, and each one's sLocation.
    std::vector<Image> NewImages() const
    {
        std::vector<Image> images;
        for (const auto& e : sink->events) {
            if (e.id != event::OnNewImage) continue;
            EXPECT_EQ(e.args.size(), 2u);
            EXPECT_EQ(e.args[0].type, VT_I2);
            EXPECT_EQ(e.args[1].type, VT_BSTR);
            images.emplace_back(e.args[0].number, e.args[1].text);
        }
        return images;
    }

    void SetFinalLocation(const std::wstring& folder)
    {
        ASSERT_EQ(control.Put(property::ScanParmFinalLocation, Variant(folder.c_str())), S_OK);
    }

    Control control;
    win::ComPtr<RecordingSink> sink = RecordingSink::Create();
    DWORD cookie_ = 0;
};

TEST_F(ScanSimEvents, ScriptedScansReportExactlyTheNamesAndWriteNothing)
{
    const testing_support::TempFolder temp;
    const std::wstring folder = std::filesystem::path(temp.Path()).wstring();
    SetFinalLocation(folder);
    ASSERT_TRUE(control.Send("sets 2"));
    // An ordinary path, an empty name, a name outside any ANSI code page, an
    // escaped bar and an embedded NUL.
    ASSERT_TRUE(control.Send("names C:\\img\\uno.bmp||\xCE\xA9\xE2\x82\xAC\xE4\xB8\xAD.bmp|a\\|b|x\\0y"));
    ASSERT_TRUE(control.Send("scan"));

    const std::vector<DISPID> expectedOrder = {
        event::OnStartingScan, event::OnStartNewImageSet, event::OnNewImage, event::OnNewImage,
        event::OnNewImage, event::OnEndNewImageSet, event::OnStartNewImageSet, event::OnNewImage,
        event::OnNewImage, event::OnEndNewImageSet, event::OnEndingScan};
    EXPECT_EQ(sink->Ids(), expectedOrder);
    for (const auto& e : sink->events) EXPECT_EQ(e.flags, DISPATCH_METHOD);

    // A null name applies to the next scan only.
    ASSERT_TRUE(control.Send("sets 1"));
    ASSERT_TRUE(control.Send("names solo.bmp"));
    ASSERT_TRUE(control.Send("nullname"));
    ASSERT_TRUE(control.Send("scan"));
    ASSERT_TRUE(control.Send("scan"));
    const std::vector<Image> expected = {{0, L"C:\\img\\uno.bmp"},
                                         {0, L""},
                                         {0, L"\x03A9\x20AC\x4E2D.bmp"},
                                         {1, L"a|b"},
                                         {1, std::wstring(L"x\0y", 3)},
                                         {0, std::nullopt},
                                         {0, L"solo.bmp"}};
    EXPECT_EQ(NewImages(), expected);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST_F(ScanSimEvents, RealScanWritesGrayscaleBitmapsIntoTheFinalLocation)
{
    const testing_support::TempFolder temp;
    const std::wstring folder = std::filesystem::path(temp.Path()).wstring();
    SetFinalLocation(folder + L"\\");
    ASSERT_TRUE(control.Send("images 2"));
    ASSERT_TRUE(control.Send("scan"));

    const auto images = NewImages();
    ASSERT_EQ(images.size(), 2u);
    EXPECT_NE(images[0].second, images[1].second);
    for (const auto& [location, name] : images) {
        ASSERT_TRUE(name.has_value());
        EXPECT_EQ(name->rfind(folder + L"\\IMG_", 0), 0u) << *name;
        EXPECT_EQ(name->substr(name->size() - 4), L".bmp");
        const win::UniqueHandle file(
            CreateFileW(name->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file) << *name;
        BITMAPFILEHEADER header{};
        BITMAPINFOHEADER info{};
        DWORD read = 0;
        ReadFile(file.get(), &header, sizeof header, &read, nullptr);
        ReadFile(file.get(), &info, sizeof info, &read, nullptr);
        EXPECT_EQ(header.bfType, 0x4D42);  // "BM"
        EXPECT_EQ(info.biBitCount, 8);
        EXPECT_EQ(header.bfSize, GetFileSize(file.get(), nullptr));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);
}

TEST_F(ScanSimEvents, StateCommandAndEveryOtherEventArriveWithTheirArguments)
{
    ASSERT_TRUE(control.Send("state 4"));
    EXPECT_EQ(control.GetShort(property::ControlState), 4);
    struct Case {
        const char* command;
        DISPID id;
        std::vector<Arg> args;
    } const cases[] = {
        {"fire OnFailureToFindScanner", event::OnFailureToFindScanner, {}},
        {"fire OnNewTempFile C:\\x y.tmp", event::OnNewTempFile, {{VT_BSTR, 0, L"C:\\x y.tmp"}}},
        {"fire OnMMResult 7", event::OnMMResult, {{VT_I4, 7, {}}}},
        {"fire OnHelpRequested", event::OnHelpRequested, {}},
        {"fire oncontrolstatechange -2", event::OnControlStateChange, {{VT_I2, -2, {}}}},  // names ignore case
    };
    for (const Case& c : cases) ASSERT_TRUE(control.Send(c.command)) << c.command;

    ASSERT_EQ(sink->events.size(), 6u);
    EXPECT_EQ(sink->events[0].id, event::OnControlStateChange);  // from "state 4"
    EXPECT_EQ(sink->events[0].args, (std::vector<Arg>{{VT_I2, 4, {}}}));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(sink->events[i + 1].id, cases[i].id) << cases[i].command;
        EXPECT_EQ(sink->events[i + 1].args, cases[i].args) << cases[i].command;
    }
    // Commands it cannot carry out are refused and fire nothing.
    for (const char* bad : {"bogus", "images many", "state", "state 40000", "fire OnNoSuchThing",
                            "fire OnMMResult", "fire OnControlStateChange x"})
        EXPECT_FALSE(control.Send(bad)) << bad;
    EXPECT_EQ(sink->events.size(), 6u);
}

// The order 1, 3, 6 itself is checked through the bridge's callbacks in
// ScanProxyTest; here, what a sink sees of the control while it reports.
TEST_F(ScanSimEvents, PowerOnReportsFromTheMessageLoopAndTheSinkMayCallBackInside)
{
    std::vector<short> seenInside;
    sink->onEvent = [&](const ReceivedEvent&) { seenInside.push_back(control.GetShort(property::ControlState)); };
    ASSERT_EQ(control.Put(property::Enabled, Variant(VT_BOOL, 1)), S_OK);
    EXPECT_TRUE(sink->events.empty());  // the states come later, from the timer

    ASSERT_TRUE(testing_support::WaitUntil([&] { return sink->events.size() >= 3; }));
    EXPECT_EQ(seenInside, (std::vector<short>{1, 3, 6}));

    ASSERT_EQ(control.Put(property::Enabled, Variant(VT_BOOL, 0)), S_OK);
    ASSERT_EQ(sink->events.size(), 4u);
    EXPECT_EQ(sink->events.back().args, (std::vector<Arg>{{VT_I2, 0, {}}}));
    EXPECT_EQ(control.GetShort(property::ControlState), 0);
}

TEST_F(ScanSimEvents, EverySinkHearsEachEventEvenWhenOneFailsOrLeaves)
{
    auto second = RecordingSink::Create();
    const DWORD secondCookie = control.Advise(*second.get());
    sink->answer = E_FAIL;
    // The first sink disconnects itself during the first event it hears.
    bool left = false;
    sink->onEvent = [&](const ReceivedEvent&) {
        if (!left) control.Unadvise(cookie_);
        left = true;
    };
    ASSERT_TRUE(control.Send("names a|b"));
    ASSERT_TRUE(control.Send("scan"));
    EXPECT_EQ(sink->events.size(), 1u);
    EXPECT_EQ(second->events.size(), 6u);
    control.Unadvise(secondCookie);
}

}  // namespace
