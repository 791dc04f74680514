// The control's events as a container's sink receives them: scans (scripted
// and real), state reports, the power-on sequence and every other event.
#include <gtest/gtest.h>

#include "SimulatorTestSupport.h"
#include "scanner/ControlContract.h"

namespace {

using namespace simtest;
namespace property = scanner::contract::property;
namespace event = scanner::contract::event;

class ScanSimEvents : public ::testing::Test {
protected:
    void SetUp() override { cookie_ = control.Advise(*sink.get()); }

    // The image names the sink heard, in order, and each one's sLocation.
    std::vector<std::pair<long, std::optional<std::wstring>>> NewImages() const
    {
        std::vector<std::pair<long, std::optional<std::wstring>>> images;
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
        win::UniqueVariant value;
        Value::Text(*value.get(), folder.c_str());
        ASSERT_EQ(control.Put(property::ScanParmFinalLocation, *value.get()), S_OK);
    }

    Control control;
    win::ComPtr<RecordingSink> sink = RecordingSink::Create();
    DWORD cookie_ = 0;
};

TEST_F(ScanSimEvents, ScriptedScanOfTwoSetsReportsExactlyTheNamesAndWritesNothing)
{
    const testing_support::TempFolder temp;
    const std::wstring folder = Wide(temp.Path());
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

    using Image = std::pair<long, std::optional<std::wstring>>;
    const std::vector<Image> expected = {{0, L"C:\\img\\uno.bmp"},
                                         {0, L""},
                                         {0, L"\x03A9\x20AC\x4E2D.bmp"},
                                         {1, L"a|b"},
                                         {1, std::wstring(L"x\0y", 3)}};
    EXPECT_EQ(NewImages(), expected);
    EXPECT_TRUE(FilesIn(folder).empty());
}

TEST_F(ScanSimEvents, NullNameAppliesToTheNextScanOnly)
{
    ASSERT_TRUE(control.Send("names solo.bmp"));
    ASSERT_TRUE(control.Send("nullname"));
    ASSERT_TRUE(control.Send("scan"));
    ASSERT_TRUE(control.Send("scan"));
    using Image = std::pair<long, std::optional<std::wstring>>;
    const std::vector<Image> expected = {{0, std::nullopt}, {0, L"solo.bmp"}};
    EXPECT_EQ(NewImages(), expected);
}

TEST_F(ScanSimEvents, RealScanWritesGrayscaleBitmapsIntoTheFinalLocation)
{
    const testing_support::TempFolder temp;
    const std::wstring folder = Wide(temp.Path());
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
        const HANDLE file = CreateFileW(name->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                        nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << *name;
        const win::UniqueHandle owner(file);
        BITMAPFILEHEADER header{};
        BITMAPINFOHEADER info{};
        DWORD read = 0;
        ReadFile(file, &header, sizeof header, &read, nullptr);
        ReadFile(file, &info, sizeof info, &read, nullptr);
        EXPECT_EQ(header.bfType, 0x4D42);  // "BM"
        EXPECT_EQ(info.biBitCount, 8);
        EXPECT_EQ(header.bfSize, GetFileSize(file, nullptr));
    }
    EXPECT_EQ(FilesIn(folder).size(), 2u);
}

TEST_F(ScanSimEvents, StateCommandAndEveryOtherEventArriveWithTheirArguments)
{
    ASSERT_TRUE(control.Send("state 4"));
    EXPECT_EQ(control.GetShort(property::ControlState), 4);
    ASSERT_TRUE(control.Send("fire OnFailureToFindScanner"));
    ASSERT_TRUE(control.Send("fire OnNewTempFile C:\\x y.tmp"));
    ASSERT_TRUE(control.Send("fire OnMMResult 7"));
    ASSERT_TRUE(control.Send("fire OnHelpRequested"));
    ASSERT_TRUE(control.Send("fire oncontrolstatechange -2"));

    ASSERT_EQ(sink->events.size(), 6u);
    const auto& e = sink->events;
    EXPECT_EQ(e[0].id, event::OnControlStateChange);
    ASSERT_EQ(e[0].args.size(), 1u);
    EXPECT_EQ(e[0].args[0].type, VT_I2);
    EXPECT_EQ(e[0].args[0].number, 4);
    EXPECT_EQ(e[1].id, event::OnFailureToFindScanner);
    EXPECT_TRUE(e[1].args.empty());
    EXPECT_EQ(e[2].id, event::OnNewTempFile);
    ASSERT_EQ(e[2].args.size(), 1u);
    EXPECT_EQ(e[2].args[0].text, L"C:\\x y.tmp");
    EXPECT_EQ(e[3].id, event::OnMMResult);
    ASSERT_EQ(e[3].args.size(), 1u);
    EXPECT_EQ(e[3].args[0].type, VT_I4);
    EXPECT_EQ(e[3].args[0].number, 7);
    EXPECT_EQ(e[4].id, event::OnHelpRequested);
    EXPECT_EQ(e[5].id, event::OnControlStateChange);  // event names ignore case
    EXPECT_EQ(e[5].args.at(0).number, -2);
    // Commands it cannot carry out are refused and fire nothing.
    for (const char* bad : {"bogus", "images many", "state", "state 40000", "fire OnNoSuchThing",
                            "fire OnMMResult", "fire OnControlStateChange x"})
        EXPECT_FALSE(control.Send(bad)) << bad;
    EXPECT_EQ(sink->events.size(), 6u);
}

TEST_F(ScanSimEvents, PowerOnReportsOneThreeSixThroughTheMessageLoop)
{
    // The sink reads ControlState inside each report: calls back into the
    // control during an event must work and see the new state.
    std::vector<short> seenInside;
    sink->onEvent = [&](const ReceivedEvent&) { seenInside.push_back(control.GetShort(property::ControlState)); };
    VARIANT on;
    Value::Bool(on, true);
    ASSERT_EQ(control.Put(property::Enabled, on), S_OK);
    EXPECT_TRUE(control.GetBool(property::Enabled));
    EXPECT_TRUE(sink->events.empty());  // the states come later, from the timer

    ASSERT_TRUE(testing_support::WaitUntil([&] { return sink->events.size() >= 3; }));
    std::vector<long> reported;
    for (const auto& e : sink->events) {
        EXPECT_EQ(e.id, event::OnControlStateChange);
        reported.push_back(e.args.at(0).number);
    }
    EXPECT_EQ(reported, (std::vector<long>{1, 3, 6}));
    EXPECT_EQ(seenInside, (std::vector<short>{1, 3, 6}));
    EXPECT_EQ(control.GetShort(property::ControlState), 6);

    VARIANT off;
    Value::Bool(off, false);
    ASSERT_EQ(control.Put(property::Enabled, off), S_OK);
    ASSERT_EQ(sink->events.size(), 4u);
    EXPECT_EQ(sink->events.back().args.at(0).number, 0);
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
