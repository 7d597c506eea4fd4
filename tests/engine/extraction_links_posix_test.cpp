// Symbolic links planted in an existing install folder, pointing outside it: the writer never
// enters one as a folder and never writes through one as a file.

#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/engine/extraction_harness.h"

namespace extraction_test {
namespace {

class ExtractionLinksTest : public ExtractionTest {
  protected:
    void SetUp() override {
        ExtractionTest::SetUp();
        outside_ = test_folder_ / "outside";
        ASSERT_EQ(platform::CreateFolder(outside_), platform::FsError::kOk);
        ASSERT_TRUE(platform_test::WriteFile(platform::JoinPath(outside_, "target.txt"), "mine"));
        folder_ = NewInstallFolder();
    }

    void Plant(const std::string& name, const std::string& target) {
        ASSERT_EQ(symlink(target.c_str(), platform::JoinPath(folder_, name).c_str()), 0);
    }

    Tree Outside() { return Snapshot(outside_); }

    std::string outside_;
    std::string folder_;
};

TEST_F(ExtractionLinksTest, FolderEntryNeverEntersALink) {
    Plant("data", outside_);
    const Bytes pack = Gzip(PackBytes().Folder("data").File("target.txt", "payload").Up().Raw());
    const Outcome outcome = Extract(pack, folder_, false);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.failure.entry, "data");
    EXPECT_EQ(Outside(), (Tree{{"target.txt", "mine"}}));
    EXPECT_EQ(Snapshot(folder_), (Tree{{"data@", "<link>"}}));
}

TEST_F(ExtractionLinksTest, FileEntryReplacesTheLinkNotItsTarget) {
    struct Row {
        const char* label;
        std::string target;
    };
    const Row rows[] = {{"link_to_a_file", platform::JoinPath(outside_, "target.txt")},
                        {"dangling_link", platform::JoinPath(outside_, "absent.txt")},
                        {"link_to_a_folder", outside_}};
    for (const Row& row : rows) {
        Plant("readme.txt", row.target);
        const Bytes pack = Gzip(PackBytes().File("readme.txt", "payload").Raw());
        EXPECT_EQ(Extract(pack, folder_, false).result, 1) << row.label;
        EXPECT_EQ(Outside(), (Tree{{"target.txt", "mine"}})) << row.label;
        EXPECT_EQ(Snapshot(folder_), (Tree{{"readme.txt", "payload"}})) << row.label;
        ASSERT_EQ(unlink(platform::JoinPath(folder_, "readme.txt").c_str()), 0);
    }
}

}  // namespace
}  // namespace extraction_test
