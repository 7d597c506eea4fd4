// Symbolic links are never entered: the walker delivers a link, even one to a folder, as a file,
// and the removal unlinks it without touching what it points to. Also: a walk that is stopped
// or ends closes every enumeration it opened.

#include <dirent.h>
#include <stdio.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/uninstall/removal_fixture.h"
#include "tests/uninstall/tree_builder.h"
#include "tests/uninstall/walk_items.h"
#include "uninstall/install_folder_removal.h"
#include "uninstall/tree_walk.h"
#include "uninstall/tree_walker.h"

namespace uninstall_test {
namespace {

using Tree = std::vector<std::string>;

void Link(const std::string& target, const std::string& link) {
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0) << link;
}

size_t OpenDescriptors() {
    size_t count = 0;
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (readdir(fds) != nullptr) {
            ++count;
        }
        closedir(fds);
    }
    return count;
}

TEST(TreeWalkerLinks, ALinkComesAsAFileAndIsNeverEntered) {
    platform_test::TestFolder root;
    MakeTree(root.path(), {"outside/", "outside/keep.txt", "folder/", "folder/a/", "dangling/"});
    Link(root / "outside", PathIn(root.path(), "folder/a/to_outside"));
    Link(root / "nowhere", PathIn(root.path(), "dangling/link"));
    const std::string folder = root / "folder";
    const std::string dangling = root / "dangling";
    const std::vector<std::pair<std::string, std::vector<WalkItem>>> cases = {
        {folder,
         {FolderItem(folder, "a"), FileItem(folder, "a/to_outside"), LeaveItem(folder, "a")}},
        {dangling, {FileItem(dangling, "link")}},
    };
    for (const auto& [tree, expected] : cases) {
        EXPECT_EQ(WalkWithWalker(tree), expected);
        EXPECT_EQ(WalkOnThisThread(tree), expected);
    }
}

TEST_F(RemovalTest, LinksAreRemovedAndWhatTheyPointToSurvives) {
    MakeTree(temp_.path(), {"outside/", "outside/keep.txt", "outside/sub/", "outside/sub/k.txt"});
    MakeGame({"data/", "game.exe"});
    Link(temp_ / "outside", PathIn(game_, "data/linked"));
    Link(temp_ / "outside", PathIn(game_, "save"));  // not a saved-games folder: a link
    Link(temp_ / "outside/keep.txt", PathIn(game_, "keep_link.txt"));
    EXPECT_TRUE(Remove(game_));
    EXPECT_EQ(platform::QueryPathKind(game_), platform::PathKind::kMissing);
    EXPECT_EQ(ListTree(temp_ / "outside"), (Tree{"keep.txt", "sub/", "sub/k.txt"}));
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(progress_.steps, 5u);  // three links, game.exe and data
}

// An install folder that is itself a link is never walked, and neither is a saved-games folder
// that is one: what they lead to survives whole.
TEST_F(RemovalTest, AWalkNeverStartsFromALink) {
    MakeTree(temp_.path(), {"elsewhere/", "elsewhere/Dominarch/", "elsewhere/Dominarch/game.exe",
                            "elsewhere/Dominarch/save/", "elsewhere/Dominarch/save/s.sav"});
    Link(temp_ / "elsewhere/Dominarch", game_);
    EXPECT_FALSE(Remove(game_));
    EXPECT_EQ(ListTree(temp_ / "elsewhere"), (Tree{"Dominarch/", "Dominarch/game.exe",
                                                   "Dominarch/save/", "Dominarch/save/s.sav"}));
    EXPECT_TRUE(dialogs_.shown.empty());
}

// The walker asks a folder's kind again just before it descends: a folder replaced by a link
// after it was listed (here: while its announcement is being delivered) is not entered.
TEST(TreeWalkerLinks, AFolderTurnedIntoALinkIsNotEntered) {
    platform_test::TestFolder root;
    MakeTree(root.path(), {"outside/", "outside/keep.txt", "tree/", "tree/a/", "tree/a/f.txt"});
    const std::string tree = root / "tree";
    struct Replacing : WalkSink {
        bool Deliver(const std::string& name, const std::string& path, uint8_t flag) override {
            if (name == "a" && flag == 1) {
                EXPECT_EQ(rename(path.c_str(), moved.c_str()), 0);
                EXPECT_EQ(symlink(outside.c_str(), path.c_str()), 0);
            }
            items.push_back({name, path, flag});
            return true;
        }
        std::string moved;
        std::string outside;
        std::vector<WalkItem> items;
    } sink;
    sink.moved = root / "a_moved";
    sink.outside = root / "outside";
    WalkTree(tree, sink);
    EXPECT_EQ(sink.items, (std::vector<WalkItem>{FolderItem(tree, "a"), LeaveItem(tree, "a")}));
}

TEST(TreeWalkerEnumerations, EveryEnumerationIsClosedWhenTheWalkerGoes) {
    platform_test::TestFolder root;
    std::string folder;
    for (int level = 0; level < 12; ++level) {
        folder += "d/";
        MakeTree(root.path(), {folder, folder + "f.txt"});
    }
    const size_t before = OpenDescriptors();
    for (int taken : {0, 1, 6, 12, 30}) {
        {
            CTreeWalker walker(root.path());
            WalkItem item;
            for (int i = 0; i < taken && Take(walker, &item); ++i) {
            }
        }
        EXPECT_EQ(OpenDescriptors(), before) << "after taking " << taken;
    }
}

}  // namespace
}  // namespace uninstall_test
