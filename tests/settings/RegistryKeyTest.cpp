#include <gtest/gtest.h>

#include <cstdint>

#include "TestSupport.h"
#include "settings/RegistryKey.h"

namespace {

using settings::RegistryError;
using settings::RegistryKey;

using namespace testing_support;
using RegistryKeyTest = FreshSettingsTest;

TEST_F(RegistryKeyTest, OpeningForReadingNeverCreatesWhileOpeningForWritingDoes)
{
    EXPECT_FALSE(RegistryKey::OpenExisting(HKEY_CURRENT_USER, "\\Software\\Velt\\Denoptix"));
    EXPECT_FALSE(BridgeSettingsExist());

    ASSERT_TRUE(RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, "\\software\\velt\\denoptix"));
    EXPECT_TRUE(BridgeSettingsExist());
    EXPECT_TRUE(RegistryKey::OpenExisting(HKEY_CURRENT_USER, "\\Software\\Velt\\Denoptix"));

    // The part that did not exist takes the writer's letter case.
    HKEY parent = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Velt", 0, KEY_READ, &parent), ERROR_SUCCESS);
    char name[64] = {};
    DWORD length = sizeof name;
    bool found = false;
    for (DWORD i = 0; RegEnumKeyExA(parent, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name)
        found = found || std::string(name) == "denoptix";
    RegCloseKey(parent);
    EXPECT_TRUE(found);
}

TEST_F(RegistryKeyTest, ReadsOnlyDwordsOfAtMostFourBytes)
{
    const std::uint64_t eightBytes = 1;
    const std::uint8_t fourBytes[4] = {1, 0, 0, 0};
    const std::uint16_t twoBytes = 0x0201;
    StoreBridgeValue("Text", REG_SZ, "1", 2);
    StoreBridgeValue("Qword", REG_QWORD, &eightBytes, sizeof eightBytes);
    StoreBridgeValue("Binary8", REG_BINARY, &eightBytes, sizeof eightBytes);
    StoreBridgeValue("Binary4", REG_BINARY, fourBytes, sizeof fourBytes);
    StoreBridgeValue("LongDword", REG_DWORD, &eightBytes, sizeof eightBytes);
    StoreBridgeValue("ShortDword", REG_DWORD, &twoBytes, sizeof twoBytes);
    StoreBridgeInteger("Negative", -7);

    const auto key = RegistryKey::OpenExisting(HKEY_CURRENT_USER, "\\Software\\Velt\\Denoptix");
    ASSERT_TRUE(key);
    for (const char* refused : {"Text", "Qword", "Binary8", "Binary4", "LongDword", "Absent"})
        EXPECT_THROW(key->ReadInteger(refused), RegistryError) << refused;
    EXPECT_EQ(key->ReadInteger("ShortDword"), 0x0201);
    EXPECT_EQ(key->ReadInteger("Negative"), -7);
}

TEST_F(RegistryKeyTest, WritesFourByteDwordsAndNamesTheValueItCouldNotWrite)
{
    auto key = RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, "\\software\\velt\\denoptix");
    ASSERT_TRUE(key);
    key->WriteInteger("IntraRes", -1);
    EXPECT_EQ(StoredBridgeInteger("IntraRes"), -1);

    // A key deleted under an open handle refuses every further write.
    DeleteBridgeSettings();
    try {
        key->WriteInteger("ExtraRes", 0);
        ADD_FAILURE() << "a write to a deleted key succeeded";
    } catch (const RegistryError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'ExtraRes'");
    }
}

}  // namespace
