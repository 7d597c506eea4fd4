// What start-up reads of the game's INSTALL key, over the in-memory registry with raw planted
// bytes: whether the key opened, whether the game counts as installed, and the folder.

#include "install/game_registry.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/posix/registry_store.h"

namespace {

using game_registry::InstallState;
using platform::RegistryRoot;

// As registration spells it; start-up asks for "INSTALL".
constexpr char kInstallKey[] = "Software\\Tessaline\\Dominarch\\Install";
constexpr char kNoKey[] = "<no key>";
constexpr char kNoPath[] = "<no Path>";

struct Row {
    const char* name;
    std::string path_bytes;  // kNoKey, kNoPath, or the bytes planted as "Path"
    bool key_opened;
    InstallState state;
    std::string folder;
};

const std::string k259(259, 'x');
const std::string k260(260, 'x');

const Row kRows[] = {
    {"NoKey", kNoKey, false, InstallState::kNotInstalled, ""},
    {"KeyWithoutPath", kNoPath, true, InstallState::kNotInstalled, ""},
    {"PathWithoutNul", "C:\\Games\\Dominarch", true, InstallState::kInstalled,
     "C:\\Games\\Dominarch"},
    {"PathEndsAtItsNul", std::string("C:\\Games\\Dominarch\0old", 22), true,
     InstallState::kInstalled, "C:\\Games\\Dominarch"},
    {"TheLongestPathWithItsNul", k259 + '\0', true, InstallState::kInstalled, k259},
    {"TwoHundredSixtyBytesWithoutNul", k260, true, InstallState::kInstalled, k260},
    {"LongerThan260BytesIsNoPath", k260 + '\0', true, InstallState::kNotInstalled, ""},
};

class ReadInstallStateTest : public testing::TestWithParam<Row> {
  protected:
    void SetUp() override { platform::ResetRegistry(); }
    void TearDown() override { platform::ResetRegistry(); }
};

TEST_P(ReadInstallStateTest, ReadsWhatTheRowSays) {
    const Row& row = GetParam();
    if (row.path_bytes == kNoPath) {
        ASSERT_TRUE(platform::SetRegistryRawValue(RegistryRoot::kLocalMachine, kInstallKey,
                                                  "Language", "English"));
    } else if (row.path_bytes != kNoKey) {
        ASSERT_TRUE(platform::SetRegistryRawValue(RegistryRoot::kLocalMachine, kInstallKey, "Path",
                                                  row.path_bytes));
    }
    const game_registry::StoredInstall stored = game_registry::ReadInstallState();
    EXPECT_EQ(stored.key_opened, row.key_opened);
    EXPECT_EQ(stored.state, row.state);
    EXPECT_EQ(stored.folder, row.folder);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReadInstallStateTest, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

TEST(GameRegistry, StartUpReadsTheFolderRegistrationStores) {
    platform::ResetRegistry();
    game_registry::StoreInstallFolder("C:\\Program Files\\Dominarch");
    const game_registry::StoredInstall stored = game_registry::ReadInstallState();
    EXPECT_EQ(stored.state, InstallState::kInstalled);
    EXPECT_EQ(stored.folder, "C:\\Program Files\\Dominarch");
    platform::ResetRegistry();
}

}  // namespace
