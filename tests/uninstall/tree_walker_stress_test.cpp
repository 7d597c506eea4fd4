// Hundreds of walks over one generated tree, each walker destroyed at a random point (a fixed
// seed): at the start, mid-tree, on the last item, after the end. Every destruction must return,
// and what was taken before it must be exactly the start of the whole walk.

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "tests/platform/test_folder.h"
#include "tests/uninstall/tree_builder.h"
#include "tests/uninstall/walk_items.h"
#include "uninstall/tree_walker.h"

namespace uninstall_test {
namespace {

// Three folders per level, three levels deep, two files in every folder and in the root.
std::vector<std::string> GeneratedTree() {
    std::vector<std::string> entries = {"r0.dat", "r1.dat"};
    std::vector<std::string> level = {""};
    for (int depth = 0; depth < 3; ++depth) {
        std::vector<std::string> next;
        for (const std::string& parent : level) {
            for (int i = 0; i < 3; ++i) {
                const std::string folder = parent + "f" + std::to_string(i) + "/";
                entries.push_back(folder);
                entries.push_back(folder + "a.dat");
                entries.push_back(folder + "b.dat");
                next.push_back(folder);
            }
        }
        level = next;
    }
    return entries;
}

TEST(TreeWalkerStress, WalkersDestroyedAtRandomPointsAllReturn) {
    platform_test::TestFolder root;
    MakeTree(root.path(), GeneratedTree());
    const std::vector<WalkItem> whole = WalkWithWalker(root.path());
    ASSERT_EQ(whole.size(), 2u + 39u * 4u);

    std::mt19937 random(20240611);
    for (int walk = 0; walk < 300; ++walk) {
        // Up to one more than there are items: the last take sees the end.
        const size_t stop = random() % (whole.size() + 2);
        std::vector<WalkItem> taken;
        {
            CTreeWalker walker(root.path());
            WalkItem item;
            while (taken.size() < stop && Take(walker, &item)) {
                taken.push_back(item);
            }
            // Sometimes give the walker time to be waiting; sometimes catch it writing the slot.
            if (random() % 3 == 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(random() % 200));
            }
        }
        const size_t expected = std::min(stop, whole.size());
        ASSERT_EQ(taken, std::vector<WalkItem>(whole.begin(), whole.begin() + expected))
            << "walk " << walk;
    }
}

}  // namespace
}  // namespace uninstall_test
