// The scan session inside the real window: power-on, the control's state
// reports and the collection of image names.
#include "FormFixture.h"

namespace {

using testing_support::FolderExistsOnDisk;
using testing_support::WaitUntil;
using namespace std::chrono_literals;

using ScanSession = FormFixture;

std::string Quoted(const std::string& text)
{
    std::string escaped;
    for (char c : text) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return "\"" + escaped + "\"";
}

TEST_F(ScanSession, PowerOnCreatesTheFolderWritesItThenPowersOn)
{
    CreateForm();
    const std::string folder = temp_->Path() + "\\Pazienti\\0042\\";
    Form().DestinationFolder = folder;
    ClearLog();
    SendMessageA(Form().Accendi(), BM_CLICK, 0, 0);

    EXPECT_TRUE(FolderExistsOnDisk(temp_->Path() + "\\Pazienti\\0042"));
    const std::vector<std::string> expected = {
        "put ScanParmFinalLocation = " + Quoted(folder), "get Enabled = false", "get ControlState = 0",
        "put Enabled = true"};
    std::vector<std::string> calls;
    for (const auto& line : LogLines())
        if (line.rfind("put ", 0) == 0 || line.rfind("get ", 0) == 0) calls.push_back(line);
    EXPECT_EQ(calls, expected);
    EXPECT_TRUE(reports_.empty());

    // The scanner comes ready (1, 3, 6): the 3-to-6 change disables Accendi.
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(Form().Accendi()); }, 10s));
    EXPECT_EQ(Form().LastControlState, 6);
}

TEST_F(ScanSession, ASecondPressWritesTheLocationAgainAndStops)
{
    CreateForm();
    Form().DestinationFolder = temp_->Path();
    Form().AccendiClick();
    Form().LastControlState = 42;
    ClearLog();
    Form().AccendiClick();
    std::vector<std::string> calls;
    for (const auto& line : LogLines())
        if (line.rfind("put ", 0) == 0 || line.rfind("get ", 0) == 0) calls.push_back(line);
    const std::vector<std::string> expected = {"put ScanParmFinalLocation = " + Quoted(temp_->Path()),
                                               "get Enabled = true"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(Form().LastControlState, 42);
}

TEST_F(ScanSession, EmptyDestinationOnlyPowersOn)
{
    CreateForm();
    ClearLog();
    Form().AccendiClick();
    EXPECT_TRUE(LogLines("put ScanParmFinalLocation").empty());
    EXPECT_EQ(LogLines("put Enabled"), std::vector<std::string>{"put Enabled = true"});
}

TEST_F(ScanSession, QuotedDestinationUsesTheFolderBetweenTheQuotes)
{
    CreateForm();
    const std::string folder = temp_->Path() + "\\My Images\\P 1";
    Form().DestinationFolder = "\"" + folder + "\"  ";
    ClearLog();
    Form().AccendiClick();
    EXPECT_TRUE(FolderExistsOnDisk(folder));
    EXPECT_EQ(LogLines("put ScanParmFinalLocation"),
              std::vector<std::string>{"put ScanParmFinalLocation = " + Quoted(folder)});
    EXPECT_TRUE(reports_.empty());
}

TEST_F(ScanSession, AFolderThatCannotBeMadeIsReportedAndPowerOnGoesOn)
{
    CreateForm();
    const std::string blocker = temp_->Path() + "\\file";
    CloseHandle(CreateFileA(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    Form().DestinationFolder = blocker + "\\0042";
    ClearLog();
    Form().AccendiClick();
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_NE(reports_[0].find(blocker + "\\0042"), std::string::npos) << reports_[0];
    EXPECT_TRUE(LogLines("put ScanParmFinalLocation").empty());
    EXPECT_EQ(LogLines("put Enabled"), std::vector<std::string>{"put Enabled = true"});
}

TEST_F(ScanSession, RelativeDestinationWithoutParentStopsPowerOn)
{
    CreateForm();
    SetCurrentDirectoryA(temp_->Path().c_str());
    Form().DestinationFolder = "Immagini";
    ClearLog();
    SendMessageA(Form().Accendi(), BM_CLICK, 0, 0);
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0], "Unable to create directory.");
    EXPECT_TRUE(LogLines("put ").empty());
    EXPECT_TRUE(LogLines("get Enabled").empty());
    EXPECT_TRUE(IsWindowEnabled(Form().Accendi()));
    SetCurrentDirectoryA(testing_support::BinDir().c_str());
}

TEST_F(ScanSession, ARefusedReadDuringPowerOnStopsItThereWithOneReport)
{
    CreateForm();
    ASSERT_TRUE(Command("fail get Enabled Scanner not found"));
    ClearLog();
    SendMessageA(Form().Accendi(), BM_CLICK, 0, 0);
    EXPECT_EQ(reports_, std::vector<std::string>{"Scanner not found."});
    EXPECT_TRUE(LogLines("put Enabled").empty());
    EXPECT_TRUE(IsWindowEnabled(Form().Accendi()));
}

TEST_F(ScanSession, AStateRecordedAtPowerOnCountsAsTheLastState)
{
    CreateForm();
    ASSERT_TRUE(Command("state 3"));
    Form().LastControlState = 0;
    ASSERT_TRUE(Command("fail put Enabled Not now"));  // keep the control's own sequence out of it
    SendMessageA(Form().Accendi(), BM_CLICK, 0, 0);
    EXPECT_EQ(reports_, std::vector<std::string>{"Not now."});
    EXPECT_EQ(Form().LastControlState, 3);
    Form().DenoptixState(6);
    EXPECT_FALSE(IsWindowEnabled(Form().Accendi()));
}

TEST_F(ScanSession, ImageNamesCollectEachScanAndEverySetOfIt)
{
    CreateForm();
    // Two sets in one scan: the second hand-over repeats the first set's names.
    ASSERT_TRUE(Command("names a.bmp||b.bmp"));
    ASSERT_TRUE(Command("sets 2"));
    ASSERT_TRUE(Command("scan"));
    EXPECT_EQ(Form().ImageNames, "a.bmp\r\n\r\nb.bmp\r\n");
    EXPECT_EQ(testing_support::ClipboardText(nullptr), "a.bmp\r\n\r\nb.bmp\r\n");
    EXPECT_EQ(LogLines("fire OnEndNewImageSet").size(), 2u);

    ASSERT_TRUE(Command("sets 1"));
    ASSERT_TRUE(Command("names x"));
    ASSERT_TRUE(Command("scan"));
    EXPECT_EQ(Form().ImageNames, "x\r\n") << "a new scan starts a new list";
    EXPECT_EQ(testing_support::ClipboardText(nullptr), "x\r\n");
    EXPECT_TRUE(reports_.empty());
}

TEST_F(ScanSession, NewImagesBeforeAnyScanAccumulateFromStart)
{
    CreateForm();
    Form().DenOptixScanProxy1NewImage(0, L"early.bmp");
    Form().DenOptixScanProxy1EndNewImageSet();
    EXPECT_EQ(testing_support::ClipboardText(nullptr), "early.bmp\r\n");
    Form().DenOptixScanProxy1StartingScan();
    Form().DenOptixScanProxy1EndNewImageSet();
    EXPECT_EQ(testing_support::ClipboardText(nullptr), "") << "an empty set hands over an empty text";
}

TEST_F(ScanSession, NamesOutsideTheCodePageAndNullNamesAreKept)
{
    CreateForm();
    Form().DenOptixScanProxy1StartingScan();
    Form().DenOptixScanProxy1NewImage(0, nullptr);
    Form().DenOptixScanProxy1NewImage(1, L"caf\u00e9\u4e2d.bmp");
    Form().DenOptixScanProxy1NewImage(2, L"");
    EXPECT_EQ(Form().ImageNames, "\r\ncaf\xe9?.bmp\r\n\r\n");
}

}  // namespace
