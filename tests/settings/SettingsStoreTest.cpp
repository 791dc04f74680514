#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "ComApartment.h"
#include "TestSupport.h"
#include "win/ApplicationTitle.h"
#include "scanner/ScanProxy.h"
#include "settings/RegistryKey.h"
#include "settings/SettingsStore.h"
#include "ui/MainFormLayout.h"
#include "win/ErrorReport.h"
#include "win/ListSelection.h"

namespace {

using namespace testing_support;

constexpr int kDesignedLeft = 30;
constexpr int kDesignedTop = 40;
constexpr int kWidth = 182;
constexpr int kHeight = 260;

int g_selectionChanges = 0;

LRESULT CALLBACK CountingSelectionChanges(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELCHANGE) ++g_selectionChanges;
    return DefWindowProcA(window, message, wParam, lParam);
}

WNDPROC g_comboProcedure = nullptr;

// Deletes the key under the store's open handle as soon as it asks a list
// for its selection, so the next write fails for real.
LRESULT CALLBACK DeletingTheKeyOnRead(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CB_GETCURSEL) RegDeleteKeyA(HKEY_CURRENT_USER, kBridgeSettingsKey);
    return CallWindowProcA(g_comboProcedure, window, message, wParam, lParam);
}

using win::ShownBox;

class SettingsStore : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteBridgeSettings();
        CreateWindows();
        control_ = std::make_unique<scanner::TDenOptixScanProxy>(window_.get(), RECT{0, 0, 41, kHeight},
                                                                  scanner::BuiltInState(), scanner::ScanEvents{});
        ASSERT_TRUE(SendCommand("log " + logPath_));
        ResetListsToDefaults();
        g_selectionChanges = 0;
        win::SetMessageBoxRecorderForTests([this](const ShownBox& box) { boxes_.push_back(box); });
    }

    void TearDown() override
    {
        win::SetMessageBoxRecorderForTests(nullptr);
        control_.reset();
        window_.reset();
        DeleteBridgeSettings();
    }

    void CreateWindows()
    {
        static const ATOM windowClass = [] {
            WNDCLASSA description{};
            description.lpfnWndProc = CountingSelectionChanges;
            description.hInstance = GetModuleHandleA(nullptr);
            description.lpszClassName = "SettingsTestWindow";
            return RegisterClassA(&description);
        }();
        window_.reset(CreateWindowExA(WS_EX_TOOLWINDOW, MAKEINTATOM(windowClass), "Settings test",
                                      WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, kDesignedLeft, kDesignedTop,
                                      kWidth, kHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
        intra_ = CreateList(1, {"150", "300", "600"});
        extra_ = CreateList(2, {"150", "300"});
    }

    HWND CreateList(int id, std::initializer_list<const char*> items)
    {
        HWND list = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 50, 10 + 30 * id,
                                    100, 120, window_.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    GetModuleHandleA(nullptr), nullptr);
        for (const char* item : items) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        return list;
    }

    // Step 1 of loading, which the main window does itself.
    void ResetListsToDefaults()
    {
        win::SelectIndexFromCode(intra_, 1);
        win::SelectIndexFromCode(extra_, 0);
    }

    bool SendCommand(const std::string& command)
    {
        return SendSimulatorCommand(control_->Window(), command);
    }

    // The control's log lines that start with prefix ("put ", "get ").
    std::vector<std::string> ControlLog(const std::string& prefix) const { return LinesStartingWith(logPath_, prefix); }

    POINT Position() const
    {
        RECT bounds{};
        GetWindowRect(window_.get(), &bounds);
        return {bounds.left, bounds.top};
    }

    settings::SettingsTargets Targets() { return {window_.get(), intra_, extra_, *control_}; }

    void StoreAll(std::int32_t x, std::int32_t y, std::int32_t endo, std::int32_t custom, std::int32_t unsharp,
                  std::int32_t intra, std::int32_t extra)
    {
        StoreBridgeInteger("X", x);
        StoreBridgeInteger("Y", y);
        StoreBridgeInteger("EndoScan", endo);
        StoreBridgeInteger("CustomScan", custom);
        StoreBridgeInteger("ScanParmUnsharpMask", unsharp);
        StoreBridgeInteger("IntraRes", intra);
        StoreBridgeInteger("ExtraRes", extra);
    }

    // The seven values as SaveSettings left them, in StoreAll's order.
    void ExpectStored(std::vector<std::int32_t> values) const
    {
        const char* const names[] = {"X", "Y", "EndoScan", "CustomScan", "ScanParmUnsharpMask", "IntraRes", "ExtraRes"};
        EXPECT_EQ(BridgeValueCount(), 7u);
        for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(StoredBridgeInteger(names[i]), values[i]) << names[i];
    }

    win::UniqueHwnd window_;
    HWND intra_ = nullptr;
    HWND extra_ = nullptr;
    std::unique_ptr<scanner::TDenOptixScanProxy> control_;
    TempFolder temp_;
    std::string logPath_ = temp_.Path("control.log");
    std::vector<ShownBox> boxes_;
};

TEST_F(SettingsStore, FirstRunKeepsTheDefaultsAndTheCloseCreatesAllSevenValues)
{
    EXPECT_TRUE(settings::LoadSettings(Targets()));
    EXPECT_FALSE(BridgeSettingsExist());
    EXPECT_EQ(Position().x, kDesignedLeft);
    EXPECT_EQ(Position().y, kDesignedTop);
    EXPECT_EQ(win::SelectedIndex(intra_), 1);
    EXPECT_EQ(win::SelectedIndex(extra_), 0);
    EXPECT_TRUE(ControlLog("put ").empty());

    control_->SetEnableEndoScan(true);
    settings::SaveSettings(Targets(), settings::WriteFailure::ShowMessage);

    ExpectStored({kDesignedLeft, kDesignedTop, 1, 0, 0, 1, 0});
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(SettingsStore, StoredStateComesBackAndTheCloseWritesItAgain)
{
    StoreAll(100, 120, 65536, 2, -1, 2, 1);

    EXPECT_TRUE(settings::LoadSettings(Targets()));

    EXPECT_EQ(Position().x, 100);
    EXPECT_EQ(Position().y, 120);
    EXPECT_EQ(ControlLog("put "), (std::vector<std::string>{"put EnableEndoScan = false",
                                                            "put EnableCustomScan = true",
                                                            "put ScanParmUnsharpMask = true"}));
    EXPECT_EQ(win::SelectedIndex(intra_), 2);
    EXPECT_EQ(win::SelectedIndex(extra_), 1);
    EXPECT_EQ(g_selectionChanges, 0);  // no change handler may run at start-up

    settings::SaveSettings(Targets(), settings::WriteFailure::ShowMessage);
    EXPECT_EQ(ControlLog("get "), (std::vector<std::string>{"get EnableEndoScan = false",
                                                            "get EnableCustomScan = true",
                                                            "get ScanParmUnsharpMask = true"}));
    ExpectStored({100, 120, 0, 1, 1, 2, 1});
}

TEST_F(SettingsStore, PlacementStaysOnTheScreenAndIgnoresZeroOrLess)
{
    StoreAll(100000, 100000, 0, 0, 0, 1, 0);
    EXPECT_TRUE(settings::LoadSettings(Targets()));
    EXPECT_EQ(Position().x, GetSystemMetrics(SM_CXSCREEN) - kWidth - 1);
    EXPECT_EQ(Position().y, GetSystemMetrics(SM_CYSCREEN) - kHeight - 1);

    SetWindowPos(window_.get(), nullptr, kDesignedLeft, kDesignedTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    StoreAll(-5, 0, 0, 0, 0, 1, 0);
    EXPECT_TRUE(settings::LoadSettings(Targets()));
    EXPECT_EQ(Position().x, kDesignedLeft);
    EXPECT_EQ(Position().y, kDesignedTop);
}

// A value missing or of another type stops the loading there, after the
// position was read but before it is applied; what was applied stays.
TEST_F(SettingsStore, MissingValueOrValueOfAnotherTypeStopsLoadingThere)
{
    const std::uint64_t one = 1;
    struct Case {
        const char* name;
        DWORD type;  // REG_NONE: the value is deleted
        const void* data;
        DWORD size;
        std::vector<std::string> applied;
    } const cases[] = {{"EndoScan", REG_NONE, nullptr, 0, {}},
                       {"CustomScan", REG_SZ, "1", 2, {"put EnableEndoScan = true"}},
                       {"CustomScan", REG_QWORD, &one, 8, {"put EnableEndoScan = true"}},
                       {"CustomScan", REG_BINARY, &one, 8, {"put EnableEndoScan = true"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " of type " + std::to_string(c.type));
        DeleteBridgeSettings();
        DeleteFileA(logPath_.c_str());
        StoreAll(200, 210, 1, 1, 1, 2, 1);
        if (c.type == REG_NONE) RegDeleteKeyValueA(HKEY_CURRENT_USER, kBridgeSettingsKey, c.name);
        else StoreBridgeValue(c.name, c.type, c.data, c.size);

        EXPECT_FALSE(settings::LoadSettings(Targets()));

        EXPECT_EQ(ControlLog("put "), c.applied);
        EXPECT_EQ(Position().x, kDesignedLeft);
        EXPECT_EQ(Position().y, kDesignedTop);
        EXPECT_EQ(win::SelectedIndex(intra_), 1);
        EXPECT_EQ(win::SelectedIndex(extra_), 0);
    }
}

TEST_F(SettingsStore, IndexNamingNoItemLeavesNoSelectionAndIsSavedAsMinusOne)
{
    StoreAll(0, 0, 0, 0, 0, 5, 0);
    EXPECT_TRUE(settings::LoadSettings(Targets()));
    EXPECT_EQ(win::SelectedIndex(intra_), -1);

    settings::SaveSettings(Targets(), settings::WriteFailure::ShowMessage);
    EXPECT_EQ(StoredBridgeInteger("IntraRes"), -1);
    EXPECT_EQ(StoredBridgeInteger("X"), kDesignedLeft);

    ResetListsToDefaults();
    EXPECT_TRUE(settings::LoadSettings(Targets()));
    EXPECT_EQ(win::SelectedIndex(intra_), -1);
    EXPECT_EQ(g_selectionChanges, 0);
}

TEST_F(SettingsStore, KeyThatCannotBeCreatedWritesNothingAndShowsNothing)
{
    // A volatile parent cannot hold the non-volatile key the close creates.
    const LONG removed = RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velt");
    if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND) GTEST_SKIP() << "Software\\Velt is in use";
    HKEY parent = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Velt", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &parent, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(parent);
    win::ScopeExit removeParent([] { RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velt"); });

    settings::SaveSettings(Targets(), settings::WriteFailure::ShowMessage);

    EXPECT_FALSE(BridgeSettingsExist());
    EXPECT_TRUE(ControlLog("get ").empty());
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(SettingsStore, WriteFailureIsShownOnceAndEndsTheSaving)
{
    g_comboProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(intra_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DeletingTheKeyOnRead)));

    settings::SaveSettings(Targets(), settings::WriteFailure::ShowMessage);

    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Failed to set data for 'IntraRes'");
    EXPECT_EQ(boxes_[0].caption, win::ApplicationTitle());
    EXPECT_EQ(boxes_[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes_[0].owner, window_.get());

    // At the end of a Windows session the same failure is dropped silently.
    settings::SaveSettings(Targets(), settings::WriteFailure::Ignore);
    EXPECT_EQ(boxes_.size(), 1u);
}

TEST_F(SettingsStore, ControlErrorsAreNotSwallowed)
{
    StoreAll(100, 120, 1, 1, 1, 2, 1);
    ASSERT_TRUE(SendCommand("fail put EnableCustomScan Scanner busy"));
    try {
        settings::LoadSettings(Targets());
        ADD_FAILURE() << "the control's refusal was swallowed";
    } catch (const settings::RegistryError&) {
        ADD_FAILURE() << "the control's refusal came out as a registry error";
    } catch (const win::Error& error) {
        EXPECT_NE(std::string(error.what()).find("Scanner busy"), std::string::npos) << error.what();
    }

    DeleteBridgeSettings();
    ASSERT_TRUE(SendCommand("fail clear"));
    ASSERT_TRUE(SendCommand("fail get EnableCustomScan Not ready"));
    EXPECT_THROW(settings::SaveSettings(Targets(), settings::WriteFailure::ShowMessage), win::Error);
    EXPECT_TRUE(StoredBridgeInteger("EndoScan"));
    EXPECT_FALSE(StoredBridgeInteger("CustomScan"));
    EXPECT_TRUE(boxes_.empty());
}

}  // namespace
