// What an uninstall removes besides the files: the game's registry keys (the company key only
// with its last product), the uninstall entry and the shortcuts; and the uninstall thread's one
// report. Over the in-memory registry and real temporary folders.

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "platform/files.h"
#include "platform/posix/registry_store.h"
#include "platform/registry.h"
#include "platform/sync.h"
#include "tests/platform/test_folder.h"
#include "uninstall/uninstall_registration.h"
#include "uninstall/uninstall_thread.h"

namespace {

using platform::PathKind;
using platform::RegistryAccess;
using platform::RegistryKey;
using platform::RegistryRoot;
using platform_test::TestFolder;

constexpr char kInstallKey[] = "Software\\Tessaline\\Dominarch\\Install";
constexpr char kCompanyKey[] = "Software\\Tessaline";
constexpr char kUninstallEntry[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dominarch";
constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

bool KeyExists(RegistryRoot root, const std::string& path) {
    RegistryKey key;
    return key.Open(root, path, RegistryAccess::kQueryValue);
}

void CreateKeyWith(RegistryRoot root, const std::string& path, const char* name,
                   const std::string& value) {
    RegistryKey key;
    ASSERT_TRUE(key.Create(root, path));
    ASSERT_TRUE(key.SetString(name, value));
}

class UninstallRegistrationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::ResetRegistry();
        CreateKeyWith(RegistryRoot::kLocalMachine, kInstallKey, "Path", "C:\\Games\\Dominarch");
        CreateKeyWith(RegistryRoot::kLocalMachine, kUninstallEntry, "DisplayName", "Dominarch");
    }
    void TearDown() override { platform::ResetRegistry(); }

    // A Start-menu group with both shortcuts and a desktop shortcut, registered as the user's
    // shell folders.
    void MakeShortcuts() {
        ASSERT_EQ(platform::CreateFolder(root_ / "Programs"), platform::FsError::kOk);
        ASSERT_EQ(platform::CreateFolder(root_ / "Desktop"), platform::FsError::kOk);
        ASSERT_EQ(platform::CreateFolder(Group()), platform::FsError::kOk);
        for (const char* link : {"Dominarch.lnk", "Uninstall.lnk"}) {
            ASSERT_TRUE(platform_test::WriteFile(platform::JoinPath(Group(), link), "link"));
        }
        ASSERT_TRUE(platform_test::WriteFile(root_ / "Desktop" + "/Dominarch.lnk", "link"));
        ASSERT_TRUE(platform_test::WriteFile(root_ / "Desktop" + "/Other.lnk", "keep"));
        CreateKeyWith(RegistryRoot::kCurrentUser, kShellFolders, "Programs", root_ / "Programs");
        CreateKeyWith(RegistryRoot::kCurrentUser, kShellFolders, "Desktop", root_ / "Desktop");
    }
    std::string Group() const { return platform::JoinPath(root_ / "Programs", "Dominarch"); }

    TestFolder root_;
};

TEST_F(UninstallRegistrationTest, RemovesTheKeysTheEntryAndTheShortcuts) {
    MakeShortcuts();
    RemoveRegistration();
    EXPECT_FALSE(KeyExists(RegistryRoot::kLocalMachine, "Software\\Tessaline\\Dominarch"));
    EXPECT_FALSE(KeyExists(RegistryRoot::kLocalMachine, kCompanyKey));
    EXPECT_FALSE(KeyExists(RegistryRoot::kLocalMachine, kUninstallEntry));
    EXPECT_TRUE(KeyExists(RegistryRoot::kLocalMachine,
                          "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    EXPECT_EQ(platform::QueryPathKind(Group()), PathKind::kMissing);
    EXPECT_EQ(platform::QueryPathKind(root_ / "Desktop" + "/Dominarch.lnk"), PathKind::kMissing);
    EXPECT_EQ(platform_test::ReadFile(root_ / "Desktop" + "/Other.lnk"), "keep");
}

TEST_F(UninstallRegistrationTest, TheCompanyKeyStaysWhileAnotherProductIsInIt) {
    CreateKeyWith(RegistryRoot::kLocalMachine, "Software\\Tessaline\\Other Game", "Path", "x");
    RemoveRegistration();
    EXPECT_FALSE(KeyExists(RegistryRoot::kLocalMachine, "Software\\Tessaline\\Dominarch"));
    EXPECT_TRUE(KeyExists(RegistryRoot::kLocalMachine, "Software\\Tessaline\\Other Game"));
}

TEST_F(UninstallRegistrationTest, AnEmptyCompanyKeyStaysWhenTheProductKeyWasMissing) {
    platform::DeleteRegistryTree(RegistryRoot::kLocalMachine, "Software\\Tessaline\\Dominarch");
    ASSERT_TRUE(KeyExists(RegistryRoot::kLocalMachine, kCompanyKey));
    RemoveRegistration();
    EXPECT_TRUE(KeyExists(RegistryRoot::kLocalMachine, kCompanyKey));
    EXPECT_FALSE(KeyExists(RegistryRoot::kLocalMachine, kUninstallEntry));
}

TEST_F(UninstallRegistrationTest, WithoutShellFoldersOnlyTheRegistryGoes) {
    RemoveRegistration();
    EXPECT_FALSE(KeyExists(RegistryRoot::kLocalMachine, kCompanyKey));
    EXPECT_FALSE(KeyExists(RegistryRoot::kLocalMachine, kUninstallEntry));
}

class RecordingListener : public UninstallListener {
  public:
    void OnUninstallDone(bool nothing_left) override {
        result = nothing_left;
        ++calls;
        done.Set();
    }
    std::atomic<bool> result{false};
    std::atomic<int> calls{0};
    platform::Event done;
};

TEST(UninstallThread, RemovesTheFolderAndReportsOnce) {
    TestFolder root;
    const std::string game = root / "Dominarch";
    ASSERT_EQ(platform::CreateFolder(game), platform::FsError::kOk);
    ASSERT_EQ(platform::CreateFolder(platform::JoinPath(game, "data")), platform::FsError::kOk);
    ASSERT_TRUE(platform_test::WriteFile(platform::JoinPath(game, "Dominarch.exe"), "game"));
    std::string current;
    ASSERT_TRUE(platform::GetCurrentFolder(&current));

    RecordingListener listener;
    ASSERT_TRUE(StartUninstallThread(game, nullptr, nullptr, &listener));
    listener.done.Wait();
    EXPECT_TRUE(listener.result);
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(platform::QueryPathKind(game), PathKind::kMissing);
    platform::SetCurrentFolder(current);
}

}  // namespace
