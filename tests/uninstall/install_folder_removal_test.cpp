// Removing an install folder: the game's files go, saved games stay unless the player agrees,
// "data/save" and "Save" are game data, paths outside a "Dominarch" folder are never touched,
// refusals are counted and still advance the progress indicator.

#include "uninstall/install_folder_removal.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "res/resource_ids.h"
#include "tests/uninstall/removal_fixture.h"
#include "tests/uninstall/tree_builder.h"

namespace uninstall_test {
namespace {

using platform::FileOp;
using platform::FsError;
using platform::kDialogCancel;
using platform::kDialogOk;
using Tree = std::vector<std::string>;

// Nine entries, all deleted with a step each: six files and three folders.
const Tree kGameData = {
    "Dominarch.exe",    "tovk.cfg",         "data/", "data/Dominarch.ico", "data/maps/",
    "data/maps/m1.map", "data/maps/m2.map", "docs/", "docs/manual.txt",
};
constexpr uint32_t kGameDataSteps = 9;

const Tree kSavedGames = {
    "save/",           "save/slot1.sav", "save/slot2.sav",       "save/auto/",
    "save/auto/a.sav", "save/save/",     "save/save/nested.sav", "save/zz.sav",
};

Tree With(Tree tree, const Tree& more) {
    tree.insert(tree.end(), more.begin(), more.end());
    return tree;
}

const Tree kGone = {"<gone>"};

struct RemovalCase {
    const char* label;
    Tree tree;     // below the install folder
    int answer;    // to the saved-games question
    bool result;   // of RemoveInstallFolder
    Tree remains;  // below the install folder afterwards; kGone: the folder itself is gone
    std::vector<int> dialogs;
    uint32_t steps;  // progress steps taken
};

void PrintTo(const RemovalCase& c, std::ostream* out) {
    *out << c.label;
}

const RemovalCase kCases[] = {
    {"no saved games", kGameData, kDialogCancel, true, kGone, {}, kGameDataSteps},
    {"empty saved games",
     With(kGameData, {"save/"}),
     kDialogCancel,
     true,
     kGone,
     {},
     kGameDataSteps},
    {"saved games kept",
     With(kGameData, kSavedGames),
     kDialogCancel,
     true,
     {"save/", "save/auto/", "save/auto/a.sav", "save/save/", "save/save/nested.sav",
      "save/slot1.sav", "save/slot2.sav", "save/zz.sav"},
     {IDD_DELETE_SAVES},
     kGameDataSteps},
    {"saved games deleted",
     With(kGameData, kSavedGames),
     kDialogOk,
     true,
     kGone,
     {IDD_DELETE_SAVES},
     kGameDataSteps},
    {"data/save is game data",
     With(kGameData, {"data/save/", "data/save/x.sav"}),
     kDialogCancel,
     true,
     kGone,
     {},
     kGameDataSteps + 2},
    {"Save in another case is game data",
     With(kGameData, {"Save/", "Save/x.sav"}),
     kDialogCancel,
     true,
     kGone,
     {},
     kGameDataSteps + 2},
    // The "mods" folder cannot go (a step all the same), so neither can the install folder.
    {"save elsewhere kept but not offered",
     With(kGameData, {"mods/", "mods/save/", "mods/save/m.sav", "mods/m.pak"}),
     kDialogOk,
     false,
     {"mods/", "mods/save/", "mods/save/m.sav"},
     {},
     kGameDataSteps + 2},
    {"empty install folder", {}, kDialogCancel, true, kGone, {}, 0},
};

class RemoveInstallFolderCases : public RemovalTest,
                                 public ::testing::WithParamInterface<RemovalCase> {};

TEST_P(RemoveInstallFolderCases, RemovesWhatIsNotASavedGame) {
    const RemovalCase& c = GetParam();
    MakeGame(c.tree);
    dialogs_.answer = c.answer;
    EXPECT_EQ(Remove(game_), c.result);
    if (c.remains == kGone) {
        EXPECT_EQ(platform::QueryPathKind(game_), platform::PathKind::kMissing);
    } else {
        EXPECT_EQ(ListTree(game_), c.remains);
    }
    EXPECT_EQ(dialogs_.shown, c.dialogs);
    EXPECT_EQ(progress_.steps, c.steps);
}

INSTANTIATE_TEST_SUITE_P(Trees, RemoveInstallFolderCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                             std::string name = info.param.label;
                             for (char& ch : name) {
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             }
                             return name;
                         });

TEST_F(RemovalTest, MovesTheCurrentFolderToTheInstallFoldersParent) {
    MakeGame(kGameData);
    EXPECT_TRUE(Remove(game_));
    std::string current;
    ASSERT_TRUE(platform::GetCurrentFolder(&current));
    EXPECT_EQ(current, temp_.path());
}

TEST_F(RemovalTest, AFolderOutsideADominarchFolderIsNotTouched) {
    for (const char* name : {"Games", "dominarch", "Dominarch2", "DominarchX"}) {
        const std::string folder = temp_ / name;
        ASSERT_EQ(platform::CreateFolder(folder), FsError::kOk);
        MakeTree(folder, {"game.exe", "data/", "data/a.bin", "save/"});
        EXPECT_FALSE(Remove(folder)) << name;
        EXPECT_EQ(ListTree(folder), (Tree{"data/", "data/a.bin", "game.exe", "save/"})) << name;
    }
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(progress_.steps, 0u);
}

TEST_F(RemovalTest, AFolderMerelyBelowADominarchFolderIsNotTouched) {
    // Every path below it holds "Dominarch" and a separator, but the folder is not the game's:
    // think of the temp folder of a user named Dominarch.
    const std::string user = temp_ / "Dominarch";
    const std::string folder = platform::JoinPath(user, "Temp");
    ASSERT_EQ(platform::CreateFolder(user), FsError::kOk);
    ASSERT_EQ(platform::CreateFolder(folder), FsError::kOk);
    MakeTree(folder, {"letter.txt", "data/", "data/a.bin", "save/"});
    EXPECT_FALSE(Remove(folder));
    EXPECT_EQ(ListTree(folder), (Tree{"data/", "data/a.bin", "letter.txt", "save/"}));
    EXPECT_EQ(DeleteFiles(folder), 0u);
    EXPECT_EQ(ListTree(folder), (Tree{"data/", "data/a.bin", "letter.txt", "save/"}));
    EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(RemovalTest, AMissingInstallFolderIsAFailureWithNothingAsked) {
    EXPECT_FALSE(Remove(game_));
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(progress_.steps, 0u);
}

TEST_F(RemovalTest, AFileThatCannotBeDeletedKeepsItsFoldersAndFails) {
    MakeGame(kGameData);
    FailOn(FileOp::kRemoveFile, "data/maps/m1.map", FsError::kAccessDenied);
    EXPECT_FALSE(Remove(game_));
    EXPECT_EQ(ListTree(game_), (Tree{"data/", "data/maps/", "data/maps/m1.map"}));
    EXPECT_EQ(progress_.steps, kGameDataSteps);
    EXPECT_EQ(DeleteFiles(game_), 3u);  // the file and both folders around it, once more
}

TEST_F(RemovalTest, ASavedGameThatCannotBeDeletedKeepsTheInstallFolder) {
    MakeGame(With(kGameData, kSavedGames));
    dialogs_.answer = kDialogOk;
    FailOn(FileOp::kRemoveFile, "save/auto/a.sav", FsError::kAccessDenied);
    EXPECT_FALSE(Remove(game_));
    EXPECT_EQ(ListTree(game_), (Tree{"save/", "save/auto/", "save/auto/a.sav"}));
    EXPECT_EQ(progress_.steps, kGameDataSteps);
}

TEST_F(RemovalTest, ASavedGamesFolderRefusedAsDeniedIsOffered) {
    MakeGame(With(kGameData, {"save/"}));
    dialogs_.answer = kDialogOk;
    FailOn(FileOp::kRemoveFolder, "save", FsError::kAccessDenied, 1);
    EXPECT_TRUE(Remove(game_));
    EXPECT_EQ(dialogs_.shown, std::vector<int>{IDD_DELETE_SAVES});
    EXPECT_EQ(platform::QueryPathKind(game_), platform::PathKind::kMissing);
}

// Neither missing nor refused for being full or protected: the folder stays, and that is no
// success.
TEST_F(RemovalTest, ASavedGamesFolderRefusedOtherwiseKeepsTheInstallFolder) {
    MakeGame(With(kGameData, {"save/", "save/a.sav"}));
    FailOn(FileOp::kRemoveFolder, "save", FsError::kOther);
    EXPECT_FALSE(Remove(game_));
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(ListTree(game_), (Tree{"save/", "save/a.sav"}));
}

TEST_F(RemovalTest, WithoutAProgressIndicatorTheRemovalStillRuns) {
    MakeGame(kGameData);
    EXPECT_TRUE(RemoveInstallFolder(game_, nullptr, &dialogs_));
    EXPECT_EQ(platform::QueryPathKind(game_), platform::PathKind::kMissing);
    EXPECT_EQ(progress_.steps, 0u);
}

}  // namespace
}  // namespace uninstall_test
