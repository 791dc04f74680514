// Each option control writes straight into one property of the control.
#include "FormFixture.h"

namespace {

using OptionHandlers = FormFixture;

void OperatorPicks(HWND list, int index)
{
    // What the list does for a mouse or arrow-key pick: select, then notify.
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

TEST_F(OptionHandlers, CheckBoxesPutTheirStateIntoTheirProperty)
{
    CreateForm();
    ClearLog();
    SendMessageA(Form().Unsharp(), BM_CLICK, 0, 0);
    SendMessageA(Form().Unsharp(), BM_CLICK, 0, 0);
    SendMessageA(Form().CustomScan(), BM_CLICK, 0, 0);
    SendMessageA(Form().EndoScan(), BM_CLICK, 0, 0);
    const std::vector<std::string> expected = {
        "put ScanParmUnsharpMask = true", "put ScanParmUnsharpMask = false", "put EnableCustomScan = true",
        "put EnableEndoScan = true"};
    EXPECT_EQ(LogLines("put "), expected);
    EXPECT_TRUE(Form().DenOptixScanProxy1().EnableEndoScan());
}

TEST_F(OptionHandlers, ListsPutTheNumberOfThePickedItem)
{
    CreateForm();
    ClearLog();
    OperatorPicks(Form().ComboIntraRes(), 2);
    OperatorPicks(Form().ComboExtraRes(), 0);
    const std::vector<std::string> expected = {"put ScanParmIntraOralResolution = 600",
                                               "put ScanParmExtraOralResolution = 150"};
    EXPECT_EQ(LogLines("put "), expected);
}

TEST_F(OptionHandlers, ArrowKeyOnAListRunsItsHandler)
{
    CreateForm();
    Form().Show(SW_SHOWNORMAL);
    ClearLog();
    SetFocus(Form().ComboIntraRes());
    SendMessageA(Form().ComboIntraRes(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(SendMessageA(Form().ComboIntraRes(), CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(LogLines("put "), std::vector<std::string>{"put ScanParmIntraOralResolution = 600"});
}

TEST_F(OptionHandlers, StartUpSetsNoResolutionAndTouchesNoUncheckedBox)
{
    CreateForm();
    for (const auto& line : LogLines("put ")) {
        EXPECT_EQ(line.find("Resolution"), std::string::npos) << line;
        EXPECT_EQ(line.find("= false"), std::string::npos) << line;
    }
    EXPECT_EQ(SendMessageA(Form().EndoScan(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(OptionHandlers, BoxesFollowOptionsTheControlReportsAtStartUp)
{
    SetEnvironmentVariableA("DENOPTIX_SIM_INITIAL_OPTIONS", "EnableEndoScan=1,ScanParmUnsharpMask=1");
    CreateForm();
    EXPECT_EQ(SendMessageA(Form().EndoScan(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(Form().Unsharp(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(Form().CustomScan(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    const auto puts = LogLines("put ");
    EXPECT_EQ(std::count(puts.begin(), puts.end(), "put EnableEndoScan = true"), 1);
    EXPECT_EQ(std::count(puts.begin(), puts.end(), "put ScanParmUnsharpMask = true"), 1);
    EXPECT_TRUE(reports_.empty());
}

TEST_F(OptionHandlers, ARefusedPutIsReportedAndTheBoxKeepsTheOperatorsState)
{
    CreateForm();
    ASSERT_TRUE(Command("fail put EnableCustomScan Scanner busy"));
    SendMessageA(Form().CustomScan(), BM_CLICK, 0, 0);
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0], "Scanner busy.");
    EXPECT_EQ(SendMessageA(Form().CustomScan(), BM_GETCHECK, 0, 0), BST_CHECKED);

    ASSERT_TRUE(Command("fail put ScanParmIntraOralResolution Not now"));
    OperatorPicks(Form().ComboIntraRes(), 0);
    ASSERT_EQ(reports_.size(), 2u);
    EXPECT_EQ(reports_[1], "Not now.");
    EXPECT_EQ(SendMessageA(Form().ComboIntraRes(), CB_GETCURSEL, 0, 0), 0);
}

TEST_F(OptionHandlers, AnItemThatIsNoNumberIsReportedAndNothingIsPut)
{
    CreateForm();
    SendMessageA(Form().ComboExtraRes(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("alta"));
    ClearLog();
    OperatorPicks(Form().ComboExtraRes(), 2);
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0], "'alta' is not a valid integer value.");
    EXPECT_TRUE(LogLines("put ").empty());
}

}  // namespace
