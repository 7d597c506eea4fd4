// The file layer's test seam: an injected fault fails exactly the operation it names, a failing
// write lands only the bytes it is told to, and a failing close still releases the file. Also the
// kind of a path, which never follows a link.

#include <gtest/gtest.h>

#include "platform/dialogs.h"
#include "platform/file_faults.h"
#include "platform/files.h"
#include "tests/platform/test_folder.h"

namespace {

using platform::FileFault;
using platform::FileOp;
using platform::FsError;
using platform_test::ReadFile;
using platform_test::TestFolder;

// Fails every operation of one kind with one error.
class FailOne : public platform::FileFaultHook {
  public:
    FailOne(FileOp op, FileFault fault) : op_(op), fault_(fault) {}
    FileFault Before(FileOp op, const std::string& path) override {
        if (op != op_) {
            return {};
        }
        last_path = path;
        ++hits;
        return fault_;
    }
    std::string last_path;
    int hits = 0;

  private:
    FileOp op_;
    FileFault fault_;
};

class ScopedHook {
  public:
    explicit ScopedHook(platform::FileFaultHook* hook)
        : previous_(platform::SetFileFaultHook(hook)) {}
    ~ScopedHook() { platform::SetFileFaultHook(previous_); }

  private:
    platform::FileFaultHook* previous_;
};

TEST(FileFaults, AFaultFailsOnlyTheOperationItNames) {
    TestFolder root;
    FailOne hook(FileOp::kCreateFolder, {FsError::kDiskFull, 0});
    {
        ScopedHook scoped(&hook);
        EXPECT_EQ(platform::CreateFolder(root / "a"), FsError::kDiskFull);
        EXPECT_EQ(hook.last_path, root / "a");
        platform::OutputFile file;
        EXPECT_EQ(file.Create(root / "f.txt"), FsError::kOk);
        EXPECT_EQ(file.Close(), FsError::kOk);
    }
    EXPECT_EQ(platform::QueryPathKind(root / "a"), platform::PathKind::kMissing);
    EXPECT_EQ(platform::CreateFolder(root / "a"), FsError::kOk);
    EXPECT_EQ(hook.hits, 1);
}

TEST(FileFaults, AFailingWriteLandsThePartItIsToldTo) {
    TestFolder root;
    platform::OutputFile file;
    ASSERT_EQ(file.Create(root / "f.bin"), FsError::kOk);
    FailOne hook(FileOp::kWrite, {FsError::kDiskFull, 3});
    uint32_t written = 99;
    {
        ScopedHook scoped(&hook);
        EXPECT_EQ(file.Write("abcdef", 6, &written), FsError::kDiskFull);
    }
    EXPECT_EQ(written, 3u);
    ASSERT_EQ(file.Write("XYZ", 3, &written), FsError::kOk);
    ASSERT_EQ(file.Close(), FsError::kOk);
    EXPECT_EQ(ReadFile(root / "f.bin"), "abcXYZ");
}

TEST(FileFaults, AFailingCloseStillReleasesTheFile) {
    TestFolder root;
    platform::OutputFile file;
    ASSERT_EQ(file.Create(root / "f.bin"), FsError::kOk);
    uint32_t written = 0;
    ASSERT_EQ(file.Write("data", 4, &written), FsError::kOk);
    FailOne hook(FileOp::kClose, {FsError::kOther, 0});
    {
        ScopedHook scoped(&hook);
        EXPECT_EQ(file.Close(), FsError::kOther);
    }
    EXPECT_FALSE(file.IsOpen());
    // Released: on Windows an unshared file still open could be neither read nor deleted.
    EXPECT_EQ(ReadFile(root / "f.bin"), "data");
    EXPECT_EQ(platform::RemoveFile(root / "f.bin"), FsError::kOk);
}

TEST(PathKind, TellsMissingFilesAndFolders) {
    TestFolder root;
    ASSERT_EQ(platform::CreateFolder(root / "dir"), FsError::kOk);
    ASSERT_TRUE(platform_test::WriteFile(root / "file", "x"));
    EXPECT_EQ(platform::QueryPathKind(root / "dir"), platform::PathKind::kFolder);
    EXPECT_EQ(platform::QueryPathKind(root / "file"), platform::PathKind::kFile);
    EXPECT_EQ(platform::QueryPathKind(root / "none"), platform::PathKind::kMissing);
}

class CountingHost : public platform::DialogHost {
  public:
    int Show(int resource_id) override {
        last = resource_id;
        return 1000 + resource_id;
    }
    int last = 0;
};

TEST(Dialogs, GoThroughTheHostAndAreCancelledWithoutOne) {
    EXPECT_EQ(platform::ShowDialog(nullptr, 161), platform::kDialogCancel);
    CountingHost host;
    EXPECT_EQ(platform::ShowDialog(&host, 162), 1162);
    EXPECT_EQ(host.last, 162);
}

}  // namespace
