// Hostile packs: every name and up entry that could lead outside the install folder, or to a
// name Windows would not store as given, fails the run before anything is created; a first
// installation is removed again and a reinstall is left exactly as it was.

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/engine/extraction_harness.h"

namespace extraction_test {
namespace {

struct HostileRow {
    const char* label;
    PackBytes pack;
    const char* reason;  // a piece of the failure's reason
};

std::vector<HostileRow> HostileRows() {
    return {
        {"up_above_root", PackBytes().File("a", "1").Up().Folder("b").File("c", "2").Up(),
         "climbs above"},
        {"up_above_root_after_a_folder",
         PackBytes().Folder("d").Up().Up().File("escaped", "x").Folder("d").Up(), "climbs above"},
        {"slash_in_name", PackBytes().File("../escaped", "x"), "separator"},
        {"backslash_in_name", PackBytes().Folder("d").File("..\\boot.ini", "x").Up(), "separator"},
        {"absolute_name", PackBytes().File("/tmp/escaped", "x"), "separator"},
        {"drive_colon", PackBytes().File("C:escaped", "x"), "colon"},
        {"name_unterminated", PackBytes().File(std::string(60, 'n'), "x"), "terminating zero"},
        {"dot_dot_file", PackBytes().File("..", "x"), "outside an up"},
        {"dot_folder", PackBytes().Folder(".").File("a", "1").Up(), "outside an up"},
        {"empty_name", PackBytes().File("", "x"), "empty"},
        {"control_byte", PackBytes().File("a\x1b[2Jb", "x"), "control"},
        {"trailing_dot", PackBytes().File("escaped.", "x"), "dot or a blank"},
        {"trailing_blank", PackBytes().Folder("d ").Up(), "dot or a blank"},
        {"device_name", PackBytes().File("aux.txt", "x"), "device"},
        {"hostile_after_good_entries",
         PackBytes().File("good", "1").Folder("d").File("x\\y", "2").Up(), "separator"},
    };
}

TEST_F(ExtractionTest, HostilePackFailsAFirstInstallationAndLeavesNoFolder) {
    for (const HostileRow& row : HostileRows()) {
        const Outcome outcome = Extract(Gzip(row.pack.Raw()), NewInstallFolder(), true);
        EXPECT_EQ(outcome.result, 0) << row.label;
        EXPECT_NE(outcome.failure.reason.find(row.reason), std::string::npos)
            << row.label << ": " << outcome.failure.reason;
        EXPECT_EQ(outcome.failure.entry.find('\x1b'), std::string::npos) << row.label;
        EXPECT_EQ(Snapshot(test_folder_.path()), Tree()) << row.label;
    }
}

TEST_F(ExtractionTest, HostilePackLeavesAReinstallUntouched) {
    const std::string folder = NewInstallFolder();
    ASSERT_TRUE(platform_test::WriteFile(platform::JoinPath(folder, "keep.txt"), "keep"));
    const Tree before = Snapshot(test_folder_.path());
    for (const HostileRow& row : HostileRows()) {
        EXPECT_EQ(Extract(Gzip(row.pack.Raw()), folder, false).result, 0) << row.label;
        EXPECT_EQ(Snapshot(test_folder_.path()), before) << row.label;
    }
}

// A file where the pack has a folder: the folder cannot be entered, so nothing goes below it.
TEST_F(ExtractionTest, FolderThatIsAFileFailsTheRun) {
    const std::string folder = NewInstallFolder();
    ASSERT_TRUE(platform_test::WriteFile(platform::JoinPath(folder, "data"), "a file"));
    const Bytes pack = Gzip(PackBytes().Folder("data").File("inside", "1").Up().Raw());
    const Outcome outcome = Extract(pack, folder, false);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.failure.entry, "data");
    EXPECT_EQ(Snapshot(folder), (Tree{{"data", "a file"}}));
}

}  // namespace
}  // namespace extraction_test
