// Files and folders against the real file system of the build's platform: the error codes the
// installer's rules tell apart, writing with seeks, copying, the current folder and listing.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "platform/files.h"
#include "tests/platform/test_folder.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

using platform::FsError;
using platform_test::ReadFile;
using platform_test::TestFolder;
using platform_test::WriteFile;

TEST(Folders, CreateAndRemoveReportTheCodesTheRulesUse) {
    TestFolder root;
    const std::string folder = root / "game";
    const std::string file = root / "file.txt";
    ASSERT_TRUE(WriteFile(file, "x"));

    EXPECT_EQ(platform::CreateFolder(folder), FsError::kOk);
    EXPECT_EQ(platform::CreateFolder(folder), FsError::kAlreadyExists);
    EXPECT_EQ(platform::CreateFolder(file), FsError::kAlreadyExists);
    EXPECT_EQ(platform::CreateFolder(root / "missing" + platform::kPathSeparator + "child"),
              FsError::kPathNotFound);

    ASSERT_TRUE(WriteFile(platform::JoinPath(folder, "inner.txt"), "y"));
    EXPECT_EQ(platform::RemoveFolder(folder), FsError::kDirNotEmpty);
    EXPECT_EQ(platform::RemoveFolder(root / "missing"), FsError::kPathNotFound);
    EXPECT_EQ(platform::RemoveFolder(root / "missing" + platform::kPathSeparator + "child"),
              FsError::kPathNotFound);

    EXPECT_EQ(platform::RemoveFile(platform::JoinPath(folder, "inner.txt")), FsError::kOk);
    EXPECT_EQ(platform::RemoveFile(platform::JoinPath(folder, "inner.txt")),
              FsError::kPathNotFound);
    EXPECT_EQ(platform::RemoveFolder(folder), FsError::kOk);
}

TEST(Folders, RemoveFileRefusesAFolder) {
    TestFolder root;
    ASSERT_EQ(platform::CreateFolder(root / "dir"), FsError::kOk);
    EXPECT_EQ(platform::RemoveFile(root / "dir"), FsError::kAccessDenied);
}

TEST(OutputFile, WritesSeeksAndRewrites) {
    TestFolder root;
    const std::string path = root / "out.bin";
    platform::OutputFile file;
    ASSERT_EQ(file.Create(path), FsError::kOk);
    EXPECT_TRUE(file.IsOpen());
    uint32_t written = 99;
    EXPECT_EQ(file.Write("hello world", 11, &written), FsError::kOk);
    EXPECT_EQ(written, 11u);
    EXPECT_EQ(file.Seek(6), FsError::kOk);
    EXPECT_EQ(file.Write("WORLD", 5, &written), FsError::kOk);
    EXPECT_EQ(file.Write("", 0, &written), FsError::kOk);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(file.Close(), FsError::kOk);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadFile(path), "hello WORLD");

    // Created anew: an existing file is emptied.
    ASSERT_EQ(file.Create(path), FsError::kOk);
    EXPECT_EQ(file.Write("ab", 2, &written), FsError::kOk);
    EXPECT_EQ(file.Close(), FsError::kOk);
    EXPECT_EQ(ReadFile(path), "ab");
}

TEST(OutputFile, SeekPastTheEndLeavesAZeroFilledGap) {
    TestFolder root;
    const std::string path = root / "gap.bin";
    platform::OutputFile file;
    ASSERT_EQ(file.Create(path), FsError::kOk);
    uint32_t written = 0;
    EXPECT_EQ(file.Seek(3), FsError::kOk);
    EXPECT_EQ(file.Write("z", 1, &written), FsError::kOk);
    EXPECT_EQ(file.Close(), FsError::kOk);
    EXPECT_EQ(ReadFile(path), std::string("\0\0\0z", 4));
}

TEST(OutputFile, FailuresAreReportedAndLeaveItClosed) {
    TestFolder root;
    platform::OutputFile file;
    EXPECT_EQ(file.Create(root / "missing" + platform::kPathSeparator + "f"),
              FsError::kPathNotFound);
    EXPECT_FALSE(file.IsOpen());
    ASSERT_EQ(platform::CreateFolder(root / "dir"), FsError::kOk);
    EXPECT_EQ(file.Create(root / "dir"), FsError::kAccessDenied);
    EXPECT_FALSE(file.IsOpen());

    uint32_t written = 7;
    EXPECT_NE(file.Write("x", 1, &written), FsError::kOk);
    EXPECT_EQ(written, 0u);
    EXPECT_NE(file.Seek(0), FsError::kOk);
    EXPECT_EQ(file.Close(), FsError::kOk);
}

// Links under the names a file is created with, as a user makes them: POSIX links made here;
// under wine, the ones the run script makes in the prefix with the host's ln -s (a Win32
// program cannot make them), which wine shows as plain files.
struct LinkFixture {
    std::string to_file;  // leads to `target`, which holds "keep"
    std::string target;
    std::string dangling;  // leads to `nowhere`, which does not exist
    std::string nowhere;
};

#ifdef _WIN32
bool MakeLinks(const TestFolder&, LinkFixture* links) {
    const std::string inside = "C:\\Dom Link Fixture\\inside\\";
    const std::string outside = "C:\\Dom Link Fixture\\outside\\";
    *links = {inside + "to_file.txt", outside + "precious.txt", inside + "dangling.txt",
              outside + "nowhere.txt"};
    return platform::QueryPathKind(links->to_file) != platform::PathKind::kMissing;
}
#else
bool MakeLinks(const TestFolder& root, LinkFixture* links) {
    *links = {root / "to_file", root / "precious.txt", root / "dangling", root / "nowhere"};
    return WriteFile(links->target, "keep") &&
           symlink(links->target.c_str(), links->to_file.c_str()) == 0 &&
           symlink(links->nowhere.c_str(), links->dangling.c_str()) == 0;
}
#endif

TEST(OutputFile, NeverWritesThroughALinkNorCreatesWhatADanglingOneNames) {
    TestFolder root;
    LinkFixture links;
    if (!MakeLinks(root, &links)) {
        GTEST_SKIP() << "no links to test with (the run script makes them under wine)";
    }
    platform::OutputFile file;
    EXPECT_NE(file.Create(links.to_file), FsError::kOk);
    EXPECT_EQ(ReadFile(links.target), "keep");
    EXPECT_NE(file.Create(links.dangling), FsError::kOk);
    EXPECT_EQ(platform::QueryPathKind(links.nowhere), platform::PathKind::kMissing);
    EXPECT_FALSE(file.IsOpen());
}

TEST(OutputFile, DestructorClosesSoTheFileCanBeRemoved) {
    TestFolder root;
    const std::string path = root / "held.bin";
    {
        platform::OutputFile file;
        ASSERT_EQ(file.Create(path), FsError::kOk);
        uint32_t written = 0;
        ASSERT_EQ(file.Write("abc", 3, &written), FsError::kOk);
    }
    EXPECT_EQ(ReadFile(path), "abc");
    EXPECT_EQ(platform::RemoveFile(path), FsError::kOk);
}

TEST(CopyFileOver, ReplacesTheTarget) {
    TestFolder root;
    ASSERT_TRUE(WriteFile(root / "from", "new content"));
    ASSERT_TRUE(WriteFile(root / "to", "old content that is longer"));
    EXPECT_EQ(platform::CopyFileOver(root / "from", root / "to"), FsError::kOk);
    EXPECT_EQ(ReadFile(root / "to"), "new content");
    EXPECT_EQ(platform::CopyFileOver(root / "from", root / "fresh"), FsError::kOk);
    EXPECT_EQ(ReadFile(root / "fresh"), "new content");
}

TEST(CopyFileOver, FailsWithoutHarm) {
    TestFolder root;
    ASSERT_TRUE(WriteFile(root / "self", "keep me"));
    EXPECT_EQ(platform::CopyFileOver(root / "missing", root / "to"), FsError::kPathNotFound);
    EXPECT_EQ(ReadFile(root / "to"), "");
    // A copy onto itself must not empty the file.
    EXPECT_NE(platform::CopyFileOver(root / "self", root / "self"), FsError::kOk);
    EXPECT_EQ(ReadFile(root / "self"), "keep me");
}

// Restores the current folder when a test that moves it ends.
class CurrentFolderTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(platform::GetCurrentFolder(&saved_)); }
    void TearDown() override { EXPECT_EQ(platform::SetCurrentFolder(saved_), FsError::kOk); }

  private:
    std::string saved_;
};

TEST_F(CurrentFolderTest, RelativePathsFollowTheCurrentFolder) {
    TestFolder root;
    ASSERT_EQ(platform::CreateFolder(root / "sub"), FsError::kOk);
    ASSERT_EQ(platform::SetCurrentFolder(root / "sub"), FsError::kOk);
    EXPECT_EQ(platform::CreateFolder("made"), FsError::kOk);
    platform::OutputFile file;
    ASSERT_EQ(file.Create("rel.txt"), FsError::kOk);
    EXPECT_EQ(file.Close(), FsError::kOk);
    ASSERT_EQ(platform::SetCurrentFolder(".."), FsError::kOk);

    std::string current;
    ASSERT_TRUE(platform::GetCurrentFolder(&current));
    EXPECT_NE(current.find("dominarch_platform_test_"), std::string::npos) << current;
    EXPECT_EQ(platform::RemoveFolder(platform::JoinPath("sub", "made")), FsError::kOk);
    EXPECT_EQ(platform::RemoveFile(platform::JoinPath("sub", "rel.txt")), FsError::kOk);
}

TEST_F(CurrentFolderTest, MissingFolderIsRefused) {
    TestFolder root;
    EXPECT_EQ(platform::SetCurrentFolder(root / "missing"), FsError::kPathNotFound);
}

TEST(TempFolder, EndsInTheSeparatorAndExists) {
    std::string temp;
    ASSERT_TRUE(platform::GetTempFolder(&temp));
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), platform::kPathSeparator);
    platform::FolderLister lister;
    EXPECT_TRUE(lister.Open(temp));
}

TEST(FreeBytes, KnownForAFolderNotForAMissingOne) {
    TestFolder root;
    uint64_t bytes = 0;
    EXPECT_TRUE(platform::GetFreeBytes(root.path(), &bytes));
    EXPECT_GT(bytes, 0u);
    EXPECT_FALSE(platform::GetFreeBytes(root / "missing", &bytes));
}

std::map<std::string, platform::FolderEntry> ListAll(const std::string& folder) {
    std::map<std::string, platform::FolderEntry> entries;
    platform::FolderLister lister;
    EXPECT_TRUE(lister.Open(folder));
    platform::FolderEntry entry;
    while (lister.Next(&entry)) {
        entries[entry.name] = entry;
    }
    EXPECT_FALSE(lister.Next(&entry));  // stays at the end
    return entries;
}

TEST(FolderLister, ListsFilesAndFoldersOnce) {
    TestFolder root;
    ASSERT_TRUE(WriteFile(root / "a.txt", "a"));
    ASSERT_EQ(platform::CreateFolder(root / "data"), FsError::kOk);
    std::map<std::string, platform::FolderEntry> entries = ListAll(root.path());
    entries.erase(".");
    entries.erase("..");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_FALSE(entries["a.txt"].is_folder);
    EXPECT_FALSE(entries["a.txt"].is_link);
    EXPECT_TRUE(entries["data"].is_folder);
    EXPECT_FALSE(entries["data"].is_link);
}

TEST(FolderLister, EmptyFolderHoldsOnlyDotEntries) {
    TestFolder root;
    std::map<std::string, platform::FolderEntry> entries = ListAll(root.path());
    for (const auto& [name, entry] : entries) {
        EXPECT_TRUE(name == "." || name == "..") << name;
        EXPECT_TRUE(entry.is_folder);
    }
}

TEST(FolderLister, RefusesWhatIsNoFolder) {
    TestFolder root;
    ASSERT_TRUE(WriteFile(root / "file", "x"));
    platform::FolderLister lister;
    platform::FolderEntry entry;
    EXPECT_FALSE(lister.Open(root / "missing"));
    EXPECT_FALSE(lister.Next(&entry));
    EXPECT_FALSE(lister.Open(root / "file"));
    EXPECT_FALSE(lister.Next(&entry));
}

TEST(FolderLister, ReopensOnAnotherFolder) {
    TestFolder root;
    ASSERT_EQ(platform::CreateFolder(root / "one"), FsError::kOk);
    ASSERT_EQ(platform::CreateFolder(root / "two"), FsError::kOk);
    ASSERT_TRUE(WriteFile(platform::JoinPath(root / "two", "only.txt"), "x"));
    platform::FolderLister lister;
    ASSERT_TRUE(lister.Open(root / "one"));
    ASSERT_TRUE(lister.Open(root / "two"));
    platform::FolderEntry entry;
    std::vector<std::string> names;
    while (lister.Next(&entry)) {
        names.push_back(entry.name);
    }
    EXPECT_NE(std::find(names.begin(), names.end(), "only.txt"), names.end());
}

}  // namespace
