// What closing the window, and the end of the Windows session, do with the
// photo server and the settings.
#include "FormFixture.h"
#include "host/Messages.h"

namespace {

using testing_support::ReceiverWindowThread;

using testing_support::BridgeSettingsExist;

struct Received {
    UINT message;
    WPARAM wParam;
    bool settingsWrittenAlready;
};

using ClosingTheWindow = FormFixture;

TEST_F(ClosingTheWindow, PhotoServerIsToldFirstThenTheSettingsAreWritten)
{
    std::vector<Received> photo;
    std::vector<Received> host;
    ReceiverWindowThread photoServer("VELT_FOTO_SERVER", [&](HWND, UINT m, WPARAM w, LPARAM) {
        photo.push_back({m, w, BridgeSettingsExist()});
    });
    ReceiverWindowThread hostWindow("TTesmiraWnd", [&](HWND, UINT m, WPARAM w, LPARAM) {
        host.push_back({m, w, BridgeSettingsExist()});
    });
    CreateForm();
    SendMessageA(Form().Handle(), WM_CLOSE, 0, 0);

    ASSERT_EQ(photo.size(), 1u);
    EXPECT_EQ(photo[0].message, host::WmDeleteResource());
    EXPECT_EQ(photo[0].wParam, 3u);
    EXPECT_FALSE(photo[0].settingsWrittenAlready);
    EXPECT_TRUE(host.empty()) << "the host gets nothing at close";
    EXPECT_TRUE(BridgeSettingsExist());
    EXPECT_TRUE(closed_);
}

TEST_F(ClosingTheWindow, SessionEndKeepsTheSettingsWithoutTellingThePhotoServer)
{
    std::vector<Received> photo;
    ReceiverWindowThread photoServer("VELT_FOTO_SERVER", [&](HWND, UINT m, WPARAM w, LPARAM) {
        photo.push_back({m, w, false});
    });
    CreateForm();
    SendMessageA(Form().CustomScan(), BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(Form().Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_FALSE(BridgeSettingsExist()) << "agreeing to end writes nothing yet";
    SendMessageA(Form().Handle(), WM_ENDSESSION, TRUE, 0);

    EXPECT_TRUE(photo.empty());
    EXPECT_TRUE(closed_) << "the application is told to terminate";
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Velt\\Denoptix", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "CustomScan", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);
    RegCloseKey(key);
    EXPECT_TRUE(reports_.empty());
}

TEST_F(ClosingTheWindow, ACancelledSessionEndChangesNothing)
{
    CreateForm();
    SendMessageA(Form().Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_FALSE(closed_);
    EXPECT_FALSE(BridgeSettingsExist());
}

}  // namespace
