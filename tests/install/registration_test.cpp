// Registration over the in-memory registry, real temporary folders and a writer that records the
// shortcuts asked for: one row per case, each naming the questions asked, the shortcut files
// made with their fields, and whether the uninstall entry is written.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "install/registration.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/posix/registry_store.h"
#include "platform/registry.h"
#include "platform/shortcuts.h"
#include "res/resource_ids.h"
#include "tests/platform/test_folder.h"

namespace {

using platform::RegistryAccess;
using platform::RegistryKey;
using platform::RegistryRoot;
using platform_test::TestFolder;

constexpr char kInstallKey[] = "Software\\Tessaline\\Dominarch\\Install";
constexpr char kUninstallList[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kPackConfiguration[] = "[vmachine]\ndirectx=yes\n[extra]\nfrom=pack\n";

// Every shortcut asked for, as "file <- target|arguments|working folder|description|icon",
// with the test folder's path shown as "~".
class RecordingWriter : public platform::ShortcutWriter {
  public:
    explicit RecordingWriter(const std::string& root) : root_(root) {}
    int32_t Save(const std::string& file, const platform::ShortcutFields& f) override {
        std::ostringstream line;
        line << Short(file) << " <- " << Short(f.target) << "|" << f.arguments << "|"
             << Short(f.working_folder) << "|" << f.description << "|" << Short(f.icon);
        made.push_back(line.str());
        return 0;
    }
    std::vector<std::string> made;

  private:
    std::string Short(const std::string& path) const {
        std::ostringstream shown;
        for (size_t at = 0; at < path.size();) {
            if (path.compare(at, root_.size(), root_) == 0) {
                shown << '~';
                at += root_.size();
            } else {
                shown << path[at++];
            }
        }
        return shown.str();
    }
    std::string root_;
};

class DesktopQuestion : public platform::DialogHost {
  public:
    explicit DesktopQuestion(int answer) : answer_(answer) {}
    int Show(int resource_id) override {
        asked.push_back(resource_id);
        return answer_;
    }
    std::vector<int> asked;

  private:
    int answer_;
};

enum ShellFolders { kBoth, kNoKey, kNoPrograms, kProgramsNamedLnk };

constexpr game_registry::InstallState kFirst = game_registry::InstallState::kNotInstalled;
constexpr game_registry::InstallState kReinstall = game_registry::InstallState::kInstalled;

struct Row {
    const char* name;
    game_registry::InstallState install_state;
    int result;
    ShellFolders shell_folders;
    int answer;  // to the desktop question
    std::vector<int> asked;
    std::vector<const char*> shortcuts;
};

#define GAME "~/Game/Dominarch.exe||~/Game|Dominarch|~/Game/data/Dominarch.ico"
#define UNINSTALL "~/Game/Setup.exe|/uninstall||Uninstall|"
const Row kRows[] = {
    {"FirstInstallWithDesktopShortcut",
     kFirst,
     1,
     kBoth,
     platform::kDialogOk,
     {IDD_DESKTOP_SHORTCUT},
     {"~/Programs/Dominarch/Dominarch.lnk <- " GAME,
      "~/Programs/Dominarch/Uninstall.lnk <- " UNINSTALL, "~/Desktop/Dominarch.lnk <- " GAME}},
    {"FirstInstallWithoutDesktopShortcut",
     kFirst,
     1,
     kBoth,
     platform::kDialogCancel,
     {IDD_DESKTOP_SHORTCUT},
     {"~/Programs/Dominarch/Dominarch.lnk <- " GAME,
      "~/Programs/Dominarch/Uninstall.lnk <- " UNINSTALL}},
    {"ReinstallAsksNothing",
     kReinstall,
     1,
     kBoth,
     platform::kDialogOk,
     {},
     {"~/Programs/Dominarch/Dominarch.lnk <- " GAME,
      "~/Programs/Dominarch/Uninstall.lnk <- " UNINSTALL}},
    {"NoShellFoldersNoShortcutsNoQuestion", kFirst, 1, kNoKey, platform::kDialogOk, {}, {}},
    {"NoProgramsStillAsks",
     kFirst,
     1,
     kNoPrograms,
     platform::kDialogOk,
     {IDD_DESKTOP_SHORTCUT},
     {"~/Desktop/Dominarch.lnk <- " GAME}},
    // ".lnk" anywhere in the path, in any case, means no second extension.
    {"LnkInTheFolderName",
     kReinstall,
     1,
     kProgramsNamedLnk,
     platform::kDialogOk,
     {},
     {"~/x.LNK/Dominarch/Dominarch <- " GAME, "~/x.LNK/Dominarch/Uninstall <- " UNINSTALL}},
    {"FailedCopyRegistersNothing", kFirst, 0, kBoth, platform::kDialogOk, {}, {}},
};
#undef GAME
#undef UNINSTALL

std::string Value(RegistryRoot root, const std::string& key_path, const char* name) {
    RegistryKey key;
    std::string value;
    if (!key.Open(root, key_path, RegistryAccess::kQueryValue) || !key.QueryString(name, &value)) {
        return "<none>";
    }
    return value;
}

class RegistrationTest : public testing::TestWithParam<Row> {
  protected:
    void SetUp() override {
        platform::ResetRegistry();
        // The uninstall list exists on every system; the game's own keys do not yet.
        RegistryKey list;
        ASSERT_TRUE(list.Create(RegistryRoot::kLocalMachine, kUninstallList));
    }
    void TearDown() override { platform::ResetRegistry(); }
};

TEST_P(RegistrationTest, WritesWhatTheRowSays) {
    const Row& row = GetParam();
    TestFolder root;
    const std::string game = root / "Game";
    const std::string programs =
        root / (row.shell_folders == kProgramsNamedLnk ? "x.LNK" : "Programs");
    ASSERT_EQ(platform::CreateFolder(game), platform::FsError::kOk);
    ASSERT_TRUE(platform_test::WriteFile(platform::JoinPath(game, "tovk.cfg"), kPackConfiguration));
    ASSERT_EQ(platform::CreateFolder(programs), platform::FsError::kOk);
    ASSERT_EQ(platform::CreateFolder(root / "Desktop"), platform::FsError::kOk);
    // An older game shortcut, which goes before the new one is made.
    const std::string group = platform::JoinPath(programs, "Dominarch");
    const std::string old_shortcut = platform::JoinPath(group, "Dominarch.lnk");
    ASSERT_EQ(platform::CreateFolder(group), platform::FsError::kOk);
    ASSERT_TRUE(platform_test::WriteFile(old_shortcut, "old"));
    if (row.shell_folders != kNoKey) {
        RegistryKey folders;
        ASSERT_TRUE(folders.Create(RegistryRoot::kCurrentUser, kShellFolders));
        if (row.shell_folders != kNoPrograms) {
            ASSERT_TRUE(folders.SetString("Programs", programs));
        }
        ASSERT_TRUE(folders.SetString("Desktop", root / "Desktop"));
    }

    RecordingWriter shortcuts(root.path());
    DesktopQuestion question(row.answer);
    platform::ShortcutWriter* previous_writer = platform::SetShortcutWriter(&shortcuts);
    constexpr int kGerman = 2;  // the menu screen's current language
    const bool registered =
        install::RegisterInstallation(game, row.install_state, row.result, kGerman, &question);
    platform::SetShortcutWriter(previous_writer);

    EXPECT_EQ(registered, row.result != 0);
    EXPECT_EQ(question.asked, row.asked);
    EXPECT_EQ(shortcuts.made, std::vector<std::string>(row.shortcuts.begin(), row.shortcuts.end()));
    const std::string configuration = platform_test::ReadFile(platform::JoinPath(game, "tovk.cfg"));
    const std::string entry = std::string(kUninstallList) + "\\Dominarch";
    if (!registered) {
        EXPECT_EQ(Value(RegistryRoot::kLocalMachine, kInstallKey, "Language"), "<none>");
        EXPECT_EQ(Value(RegistryRoot::kLocalMachine, kInstallKey, "Path"), "<none>");
        EXPECT_EQ(Value(RegistryRoot::kLocalMachine, entry, "DisplayName"), "<none>");
        EXPECT_EQ(configuration, kPackConfiguration);
        EXPECT_EQ(platform::QueryPathKind(platform::JoinPath(game, "save")),
                  platform::PathKind::kMissing);
        return;
    }
    EXPECT_EQ(Value(RegistryRoot::kLocalMachine, kInstallKey, "Language"), "German");
    EXPECT_EQ(Value(RegistryRoot::kLocalMachine, kInstallKey, "Path"), game);
    EXPECT_EQ(Value(RegistryRoot::kLocalMachine, entry, "DisplayName"), "Dominarch");
    EXPECT_EQ(Value(RegistryRoot::kLocalMachine, entry, "UninstallString"),
              "\"" + platform::JoinPath(game, "Setup.exe") + "\" /uninstall");
    EXPECT_EQ(configuration, "[vmachine]\ndirectx=yes\n");
    EXPECT_EQ(platform::QueryPathKind(platform::JoinPath(game, "save")),
              platform::PathKind::kFolder);
    const bool start_menu = row.shell_folders == kBoth || row.shell_folders == kProgramsNamedLnk;
    EXPECT_EQ(platform::QueryPathKind(old_shortcut),
              start_menu ? platform::PathKind::kMissing : platform::PathKind::kFile);
}

INSTANTIATE_TEST_SUITE_P(Rows, RegistrationTest, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

TEST(ShortcutFileName, LnkIsAppendedOnlyWhenNoCaseOfItIsThere) {
    EXPECT_EQ(platform::ShortcutFileName("C:\\Desktop\\Dominarch"), "C:\\Desktop\\Dominarch.lnk");
    EXPECT_EQ(platform::ShortcutFileName("C:\\Desktop\\Dominarch.lnk"),
              "C:\\Desktop\\Dominarch.lnk");
    EXPECT_EQ(platform::ShortcutFileName("C:\\x.LNK\\Dominarch"), "C:\\x.LNK\\Dominarch");
    EXPECT_EQ(platform::ShortcutFileName(""), ".lnk");
}

}  // namespace
