// The tree walker: the exact order of a small tree, the depth-first shape of a larger one, empty
// and missing roots, stopping at any point without a hang, and walkers that live side by side.
// The walk is checked both through the walker's thread and on the test's own thread.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "platform/files.h"
#include "platform/sync.h"
#include "tests/platform/test_folder.h"
#include "tests/uninstall/tree_builder.h"
#include "tests/uninstall/walk_items.h"
#include "uninstall/tree_walk.h"
#include "uninstall/tree_walker.h"

namespace uninstall_test {
namespace {

using platform_test::TestFolder;

using WalkWay = std::function<std::vector<WalkItem>(const std::string&)>;

const std::vector<std::pair<const char*, WalkWay>> kWalkWays = {
    {"walker thread", WalkWithWalker},
    {"this thread", WalkOnThisThread},
};

const std::vector<std::string> kBranchyTree = {
    "a/", "a/1.txt", "a/b/",    "a/b/2.txt",    "a/b/3.txt", "a/b/c/", "a/empty/",
    "d/", "d/4.txt", "d/save/", "d/save/5.sav", "6.txt",     "7.txt",
};

// Each entry comes exactly once (a folder also once as its leave marker), and everything below a
// folder comes between its announcement and its leave marker.
void ExpectDepthFirst(const std::string& root, const std::vector<std::string>& entries,
                      const std::vector<WalkItem>& items) {
    std::map<std::string, size_t> announced;
    std::map<std::string, size_t> left;
    for (size_t i = 0; i < items.size(); ++i) {
        const bool is_leave = items[i].name == "..";
        auto& index = is_leave ? left : announced;
        EXPECT_TRUE(index.emplace(items[i].full_path, i).second) << "twice: " << items[i];
    }
    size_t folders = 0;
    for (const std::string& entry : entries) {
        const bool is_folder = entry.back() == '/';
        const std::string path = PathIn(root, entry);
        ASSERT_EQ(announced.count(path), 1u) << "missing: " << path;
        EXPECT_EQ(items[announced[path]],
                  is_folder ? FolderItem(root, entry) : FileItem(root, entry));
        if (!is_folder) {
            continue;
        }
        ++folders;
        ASSERT_EQ(left.count(path), 1u) << "never left: " << path;
        for (const std::string& inner : entries) {
            if (inner.size() > entry.size() && inner.compare(0, entry.size(), entry) == 0) {
                const size_t at = announced[PathIn(root, inner)];
                EXPECT_GT(at, announced[path]) << inner << " before its folder";
                EXPECT_LT(at, left[path]) << inner << " after its folder was left";
            }
        }
    }
    EXPECT_EQ(items.size(), entries.size() + folders);
}

TEST(TreeWalker, DeliversTheTreeABFInItsExactOrder) {
    TestFolder root;
    MakeTree(root.path(), {"a/", "a/b/", "a/b/f.txt"});
    const std::string r = root.path();
    const std::vector<WalkItem> expected = {
        FolderItem(r, "a"),  FolderItem(r, "a/b"), FileItem(r, "a/b/f.txt"),
        LeaveItem(r, "a/b"), LeaveItem(r, "a"),
    };
    EXPECT_EQ(expected[2].full_path, r + platform::kPathSeparator + "a" + platform::kPathSeparator +
                                         "b" + platform::kPathSeparator + "f.txt");
    for (const auto& [way, walk] : kWalkWays) {
        EXPECT_EQ(walk(r), expected) << way;
    }
}

TEST(TreeWalker, AnnouncesEachFolderBeforeItsContentsAndLeavesItAfter) {
    TestFolder root;
    MakeTree(root.path(), kBranchyTree);
    for (const auto& [way, walk] : kWalkWays) {
        SCOPED_TRACE(way);
        ExpectDepthFirst(root.path(), kBranchyTree, walk(root.path()));
    }
}

TEST(TreeWalker, EmptyMissingAndFileRootsGiveAnEmptyWalk) {
    TestFolder root;
    MakeTree(root.path(), {"empty/", "file.txt"});
    for (const char* name : {"empty", "missing", "file.txt", "missing/below"}) {
        for (const auto& [way, walk] : kWalkWays) {
            EXPECT_TRUE(walk(root / name).empty()) << name << " by the " << way;
        }
    }
}

// A walker missing any of its lock and events walks nothing (and its end never hangs): with waits
// that do not wait, the consumer could take one item twice and miss another.
TEST(TreeWalker, WithoutEveryLockAndEventItWalksNothing) {
    TestFolder root;
    MakeTree(root.path(), {"a/", "a/f.txt", "g.txt"});
    constexpr int kObjects = 5;  // the slot lock and four events
    for (int failing = 1; failing <= kObjects + 1; ++failing) {
        platform::FailSyncObjectCreation(failing);
        {
            CTreeWalker walker(root.path());
            platform::FailSyncObjectCreation(0);
            WalkItem item;
            EXPECT_EQ(Take(walker, &item), failing > kObjects) << "object " << failing;
        }
    }
}

TEST(TreeWalker, TheEndStaysTheEnd) {
    TestFolder root;
    MakeTree(root.path(), {"f.txt"});
    CTreeWalker walker(root.path());
    WalkItem item;
    ASSERT_TRUE(Take(walker, &item));
    EXPECT_FALSE(Take(walker, &item));
    EXPECT_FALSE(Take(walker, &item));
}

TEST(TreeWalker, DestroyedBeforeTheFirstItemReturns) {
    TestFolder root;
    MakeTree(root.path(), kBranchyTree);
    for (int i = 0; i < 20; ++i) {
        CTreeWalker walker(root.path());
    }
    CTreeWalker empty(root / "missing");
}

// A chain of `depth` nested folders, each holding one file.
std::vector<std::string> DeepTree(int depth) {
    std::vector<std::string> entries;
    std::string folder;
    for (int level = 0; level < depth; ++level) {
        folder += "d" + std::to_string(level) + "/";
        entries.push_back(folder);
        entries.push_back(folder + "f.txt");
    }
    return entries;
}

TEST(TreeWalker, DestroyedDeepInsideATreeReturnsAndLeavesTheTreeAlone) {
    TestFolder root;
    const std::vector<std::string> tree = DeepTree(24);
    MakeTree(root.path(), tree);
    for (int taken : {1, 2, 23, 24, 25, 47}) {
        CTreeWalker walker(root.path());
        WalkItem item;
        for (int i = 0; i < taken; ++i) {
            ASSERT_TRUE(Take(walker, &item));
        }
    }
    std::vector<std::string> sorted = tree;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(ListTree(root.path()), sorted);
}

// A sink that stops the walk at a chosen item.
class StopAt : public WalkSink {
  public:
    explicit StopAt(size_t stop) : stop_(stop) {}
    bool Deliver(const std::string& name, const std::string& full_path,
                 uint8_t directory_flag) override {
        items.push_back({name, full_path, directory_flag});
        return items.size() < stop_;
    }
    std::vector<WalkItem> items;

  private:
    size_t stop_;
};

TEST(TreeWalker, AStoppedWalkDeliversNothingMore) {
    TestFolder root;
    MakeTree(root.path(), DeepTree(6));
    const std::vector<WalkItem> whole = WalkOnThisThread(root.path());
    ASSERT_EQ(whole.size(), 18u);
    for (size_t stop = 1; stop <= whole.size(); ++stop) {
        StopAt sink(stop);
        EXPECT_FALSE(WalkTree(root.path(), sink)) << stop;
        EXPECT_EQ(sink.items, std::vector<WalkItem>(whole.begin(), whole.begin() + stop));
    }
    StopAt never(whole.size() + 1);
    EXPECT_TRUE(WalkTree(root.path(), never));
}

TEST(TreeWalker, AConsumerThatDeletesAsItGoesEmptiesTheTree) {
    TestFolder root;
    MakeTree(root.path(), kBranchyTree);
    CTreeWalker walker(root.path());
    WalkItem item;
    while (Take(walker, &item)) {
        if (!item.directory_flag) {
            EXPECT_EQ(platform::RemoveFile(item.full_path), platform::FsError::kOk) << item;
        } else if (item.name == "..") {
            EXPECT_EQ(platform::RemoveFolder(item.full_path), platform::FsError::kOk) << item;
        }
    }
    EXPECT_TRUE(ListTree(root.path()).empty());
}

TEST(TreeWalker, TwoWalkersAtOnceKeepToTheirOwnTrees) {
    TestFolder root;
    MakeTree(root.path(), {"one/", "one/a/", "one/a/x.txt", "two/", "two/y.txt", "two/b/"});
    const std::vector<WalkItem> one_alone = WalkOnThisThread(root / "one");
    const std::vector<WalkItem> two_alone = WalkOnThisThread(root / "two");
    CTreeWalker one(root / "one");
    CTreeWalker two(root / "two");
    std::vector<WalkItem> one_items;
    std::vector<WalkItem> two_items;
    bool one_going = true;
    bool two_going = true;
    WalkItem item;
    while (one_going || two_going) {
        two_going = two_going && Take(two, &item);
        if (two_going) {
            two_items.push_back(item);
        }
        one_going = one_going && Take(one, &item);
        if (one_going) {
            one_items.push_back(item);
        }
    }
    EXPECT_EQ(one_items, one_alone);
    EXPECT_EQ(two_items, two_alone);
}

}  // namespace
}  // namespace uninstall_test
