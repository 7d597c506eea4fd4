// POSIX-only behaviour of the file back end: symbolic links, errno mapping that needs a special
// file or permissions, and names that exist as something else.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>

#include "platform/files.h"
#include "tests/platform/test_folder.h"

namespace {

using platform::FsError;
using platform_test::ReadFile;
using platform_test::TestFolder;
using platform_test::WriteFile;

TEST(FolderLister, SymbolicLinksAreLinksAndNeverFolders) {
    TestFolder root;
    TestFolder outside;
    ASSERT_TRUE(WriteFile(outside / "precious.txt", "keep"));
    ASSERT_EQ(symlink(outside.path().c_str(), (root / "to_folder").c_str()), 0);
    ASSERT_EQ(symlink((outside / "precious.txt").c_str(), (root / "to_file").c_str()), 0);
    ASSERT_EQ(symlink((root / "nowhere").c_str(), (root / "dangling").c_str()), 0);

    std::map<std::string, platform::FolderEntry> entries;
    platform::FolderLister lister;
    ASSERT_TRUE(lister.Open(root.path()));
    platform::FolderEntry entry;
    while (lister.Next(&entry)) {
        entries[entry.name] = entry;
    }
    for (const char* name : {"to_folder", "to_file", "dangling"}) {
        ASSERT_EQ(entries.count(name), 1u) << name;
        EXPECT_TRUE(entries[name].is_link) << name;
        EXPECT_FALSE(entries[name].is_folder) << name;
        EXPECT_EQ(platform::QueryPathKind(root / name), platform::PathKind::kLink) << name;
    }

    // Removed as files: the link goes, what it points at stays.
    EXPECT_EQ(platform::RemoveFile(root / "to_folder"), FsError::kOk);
    EXPECT_EQ(ReadFile(outside / "precious.txt"), "keep");
}

TEST(Folders, RemoveFolderOnAFileIsNotAMissingPath) {
    TestFolder root;
    ASSERT_TRUE(WriteFile(root / "save", "x"));
    // Not "path not found": the removal rules treat that as "no saved-games folder".
    EXPECT_EQ(platform::RemoveFolder(root / "save"), FsError::kOther);
    EXPECT_EQ(platform::RemoveFolder(platform::JoinPath(root / "save", "below")),
              FsError::kPathNotFound);
}

TEST(OutputFile, AFullDeviceIsADiskFullWithNothingWritten) {
    platform::OutputFile file;
    if (file.Create("/dev/full") != FsError::kOk) {
        GTEST_SKIP() << "/dev/full is not available";
    }
    uint32_t written = 99;
    EXPECT_EQ(file.Write("data", 4, &written), FsError::kDiskFull);
    EXPECT_EQ(written, 0u);
}

TEST(Folders, RefusedPermissionIsAccessDenied) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the super-user";
    }
    TestFolder root;
    ASSERT_EQ(platform::CreateFolder(root / "locked"), FsError::kOk);
    ASSERT_EQ(chmod((root / "locked").c_str(), 0555), 0);
    EXPECT_EQ(platform::CreateFolder(platform::JoinPath(root / "locked", "x")),
              FsError::kAccessDenied);
    platform::OutputFile file;
    EXPECT_EQ(file.Create(platform::JoinPath(root / "locked", "f")), FsError::kAccessDenied);
    chmod((root / "locked").c_str(), 0755);
}

TEST(TempFolder, FollowsTmpdirAndAddsTheSeparator) {
    const char* saved = getenv("TMPDIR");
    std::string restore = saved != nullptr ? saved : "";
    std::string temp;
    setenv("TMPDIR", "/var/tmp", 1);
    EXPECT_TRUE(platform::GetTempFolder(&temp));
    EXPECT_EQ(temp, "/var/tmp/");
    setenv("TMPDIR", "", 1);
    EXPECT_TRUE(platform::GetTempFolder(&temp));
    EXPECT_EQ(temp, "/tmp/");
    if (saved != nullptr) {
        setenv("TMPDIR", restore.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}

}  // namespace
