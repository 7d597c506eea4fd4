// Symbolic links are never entered: the walker delivers a link, even one to a folder, as a file,
// and the removal unlinks it without touching what it points to. Also: a walk that is stopped
// or ends closes every enumeration it opened.

#include <dirent.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/uninstall/removal_fixture.h"
#include "tests/uninstall/tree_builder.h"
#include "tests/uninstall/walk_items.h"
#include "uninstall/install_folder_removal.h"
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
    EXPECT_TRUE(RemoveInstallFolder(game_));
    EXPECT_EQ(platform::QueryPathKind(game_), platform::PathKind::kMissing);
    EXPECT_EQ(ListTree(temp_ / "outside"), (Tree{"keep.txt", "sub/", "sub/k.txt"}));
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(progress_.steps, 5u);  // three links, game.exe and data
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
