// The extraction pipeline on real folders: the copy of a tree, the indicator's figures, the
// packs with nothing to copy, the missing resource, cancel, disk full with Retry, and data
// errors in a body.

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>

#include <csignal>
#endif

#include <algorithm>
#include <iterator>

#include "platform/files.h"
#include "platform/sync.h"
#include "res/resource_ids.h"
#include "tests/engine/extraction_harness.h"

namespace extraction_test {
namespace {

using platform::FileFault;
using platform::FileOp;
using platform::FsError;
using platform::kDialogCancel;
using platform::kDialogOk;
using Call = RecordingIndicator::Call;

// A small file, then one of three full chunks and a short fourth: the writer looks for a cancel
// request only between two chunks of one file.
PackBytes SmallThenBig() {
    return PackBytes().File("small", "1").File("big", Pattern(3 * 65536 + 5, 2));
}

TEST_F(ExtractionTest, CopiesTheTreeIntoAFreshFolder) {
    const Bytes pack = Gzip(SampleTree().Raw());
    const Outcome outcome = Extract(pack, NewInstallFolder(), true);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(Snapshot(InstallFolderPath()), SampleTreeFiles());
}

TEST_F(ExtractionTest, IndicatorGetsTheTotalAndEveryChunkWithTheEmptyLastOne) {
    Extract(Gzip(SampleTree().Raw()), NewInstallFolder(), true);
    const std::vector<Call> calls = indicator_.calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], (Call{'R', 0}));
    EXPECT_EQ(calls[1], (Call{'T', 11 + 131072 + 1}));
    // Dominarch.exe, empty.dat, big.map in two full chunks and an empty one, café.txt.
    EXPECT_EQ(indicator_.advances(), (std::vector<uint32_t>{11, 0, 65536, 65536, 0, 1}));
}

TEST_F(ExtractionTest, ReplacesFilesOfAnExistingFolderAndKeepsTheOthers) {
    const std::string folder = NewInstallFolder();
    ASSERT_TRUE(platform_test::WriteFile(platform::JoinPath(folder, "Dominarch.exe"),
                                         "an older and much longer program file"));
    ASSERT_EQ(platform::CreateFolder(platform::JoinPath(folder, "data")), FsError::kOk);
    const std::string mine = platform::JoinPath(platform::JoinPath(folder, "data"), "user.cfg");
    ASSERT_TRUE(platform_test::WriteFile(mine, "mine"));
    ASSERT_TRUE(platform_test::WriteFile(platform::JoinPath(folder, "other.txt"), "keep"));

    EXPECT_EQ(Extract(Gzip(SampleTree().Raw()), folder, false).result, 1);
    Tree expected = SampleTreeFiles();
    expected["data/user.cfg"] = "mine";
    expected["other.txt"] = "keep";
    EXPECT_EQ(Snapshot(folder), expected);
}

// Only a stream that reaches its clean end counts as a finished copy: an empty pack does, with
// nothing written; any damage to the stream fails the run and rolls a first installation back.
TEST_F(ExtractionTest, OnlyAnIntactStreamIsAFinishedCopy) {
    const Bytes raw = SampleTree().Raw();
    const Bytes good = Gzip(raw);
    const Bytes empty = Gzip(PackBytes().Raw());
    Bytes bad_header = good;
    bad_header.at(3) = 0x80;  // a reserved flag
    Bytes bad_method = good;
    bad_method.at(2) = 7;
    Bytes corrupt_start = good;
    Bytes wrong_length = good;
    wrong_length.at(wrong_length.size() - 1) ^= 0x40;
    corrupt_start.at(10) = 0xFF;  // the first deflate block: a reserved block type
    struct Row {
        const char* label;
        Bytes pack;
        int result;
        const char* reason;  // a piece of the failure's reason
    } const rows[] = {
        {"empty_directory", empty, 1, ""},
        {"wrong_magic", Gzip(SampleTree().Magic(0x544C4F59u).Raw()), 0, "magic"},
        {"not_even_four_bytes", Gzip({'Z', 'O'}), 0, "magic"},
        {"reserved_flag", bad_header, 0, "damaged before the pack"},
        {"bad_method", bad_method, 0, "damaged before the pack"},
        {"corrupt_first_block", corrupt_start, 0, "damaged before the pack"},
        {"data_after_the_last_body", Gzip(SampleTree().ExtraBodyBytes("!").Raw()), 0,
         "follows the last body"},
        {"length_field_cut_off", Bytes(good.begin(), good.end() - 2), 0, "checksum"},
        {"trailer_missing", Bytes(good.begin(), good.end() - 8), 0, "cut off"},
        {"length_field_wrong", wrong_length, 0, "length field"},
        {"two_members", TwoMembers(raw, 70000), 1, ""},
        {"not_gzip", raw, 0, "trailer"},
        {"empty_pack_then_garbage", Gzip(PackBytes().ExtraBodyBytes("?").Raw()), 0,
         "follows the last body"},
    };
    for (const Row& row : rows) {
        const std::string folder = NewInstallFolder();
        const size_t asked_before = dialogs_.shown().size();
        const Outcome outcome = Extract(row.pack, folder, true);
        EXPECT_EQ(outcome.result, row.result) << row.label;
        // The user is told of the damage, once, and of nothing else.
        std::vector<int> asked = dialogs_.shown();
        asked.erase(asked.begin(), asked.begin() + static_cast<std::ptrdiff_t>(asked_before));
        EXPECT_EQ(asked,
                  row.result == 1 ? std::vector<int>{} : std::vector<int>{IDD_DAMAGED_PAYLOAD})
            << row.label;
        EXPECT_NE(outcome.failure.reason.find(row.reason), std::string::npos)
            << row.label << ": " << outcome.failure.reason;
        EXPECT_EQ(platform::QueryPathKind(folder),
                  row.result == 1 ? platform::PathKind::kFolder : platform::PathKind::kMissing)
            << row.label;
        if (row.result == 1) {
            EXPECT_EQ(Snapshot(folder), row.pack == empty ? Tree() : SampleTreeFiles())
                << row.label;
            platform_test::RemoveTree(folder);
        }
    }
}

TEST_F(ExtractionTest, MissingResourceFailsAndRemovesTheFirstInstallation) {
    const Outcome outcome = Extract(nullptr, NewInstallFolder(), true);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_NE(outcome.failure.reason.find("missing"), std::string::npos);
    EXPECT_EQ(platform::QueryPathKind(InstallFolderPath()), platform::PathKind::kMissing);
}

TEST_F(ExtractionTest, DirectoryCutShortFailsWithoutWalkingIt) {
    const Bytes pack = Gzip(PackBytes().File("a", "").DirectoryByteCount(128).Raw());
    const std::string folder = NewInstallFolder();
    EXPECT_EQ(Extract(pack, folder, false).result, 0);
    EXPECT_EQ(Snapshot(folder), Tree());
}

TEST_F(ExtractionTest, ExitDuringAFirstInstallationRemovesTheFolder) {
    indicator_.RequestCancelAtAdvance(1);  // during the small file: pending until the big one
    dialogs_.Script(IDD_EXIT_INSTALL, {kDialogOk});
    const Outcome outcome = Extract(Gzip(SmallThenBig().Raw()), NewInstallFolder(), true);

    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.failure.entry, "big");
    EXPECT_EQ(dialogs_.shown(), std::vector<int>{IDD_EXIT_INSTALL});
    EXPECT_EQ(platform::QueryPathKind(InstallFolderPath()), platform::PathKind::kMissing);
    // Before the removal the indicator counts the two entries handled, from nothing.
    const std::vector<Call> calls = indicator_.calls();
    const Call rollback[] = {{'T', 2}, {'R', 0}};
    EXPECT_NE(std::search(calls.begin(), calls.end(), std::begin(rollback), std::end(rollback)),
              calls.end());
}

TEST_F(ExtractionTest, ExitDuringAReinstallRemovesNothing) {
    const std::string folder = NewInstallFolder();
    ASSERT_TRUE(platform_test::WriteFile(platform::JoinPath(folder, "keep.txt"), "keep"));
    indicator_.RequestCancelAtAdvance(2);  // the big file's first chunk
    dialogs_.Script(IDD_EXIT_INSTALL, {kDialogOk});
    EXPECT_EQ(Extract(Gzip(SmallThenBig().Raw()), folder, false).result, 0);

    const Tree tree = Snapshot(folder);
    EXPECT_EQ(tree.at("keep.txt"), "keep");
    EXPECT_EQ(tree.at("small"), "1");
    EXPECT_LT(tree.at("big").size(), 3u * 65536 + 5);  // closed with what it holds
}

TEST_F(ExtractionTest, ContinueClearsTheRequestAndFinishesTheCopy) {
    indicator_.RequestCancelAtAdvance(3);
    dialogs_.Script(IDD_EXIT_INSTALL, {kDialogCancel});
    EXPECT_EQ(Extract(Gzip(SmallThenBig().Raw()), NewInstallFolder(), true).result, 1);
    EXPECT_EQ(dialogs_.shown(), std::vector<int>{IDD_EXIT_INSTALL});
    EXPECT_FALSE(indicator_.CancelRequested());
    EXPECT_EQ(Snapshot(InstallFolderPath()),
              (Tree{{"small", "1"}, {"big", Text(Pattern(3 * 65536 + 5, 2))}}));
}

// The disk fills up in the middle of the big file's second chunk, after part of it has landed;
// the user frees space and presses Retry.
TEST_F(ExtractionTest, DiskFullThenRetryLeavesAWholeFile) {
    struct Row {
        FsError error;
        uint32_t landed;
    };
    const Row rows[] = {
        {FsError::kDiskFull, 1000}, {FsError::kHandleDiskFull, 0}, {FsError::kNoSpoolSpace, 65535}};
    for (const Row& row : rows) {
        platform_test::TestFolder test;
        const std::string folder = test / "Dominarch";
        ASSERT_EQ(platform::CreateFolder(folder), FsError::kOk);
        int writes = 0;
        CountingFaults faults([&](int, FileOp op) {
            return op == FileOp::kWrite && ++writes == 3 ? FileFault{row.error, row.landed}
                                                         : FileFault{};
        });
        platform::SetFileFaultHook(&faults);
        ScriptedDialogs dialogs;
        dialogs.Script(IDD_DISK_FULL, {kDialogOk});
        host_ = &dialogs;

        EXPECT_EQ(Extract(Gzip(SmallThenBig().Raw()), folder, true).result, 1);
        platform::SetFileFaultHook(nullptr);
        EXPECT_EQ(dialogs.shown(), std::vector<int>{IDD_DISK_FULL});
        EXPECT_EQ(Snapshot(folder),
                  (Tree{{"small", "1"}, {"big", Text(Pattern(3 * 65536 + 5, 2))}}));
    }
}

TEST_F(ExtractionTest, DiskFullThenExitFailsAndRollsBack) {
    CountingFaults faults([](int, FileOp op) {
        return op == FileOp::kWrite ? FileFault{FsError::kDiskFull, 10} : FileFault{};
    });
    platform::SetFileFaultHook(&faults);
    dialogs_.Script(IDD_DISK_FULL, {kDialogOk, kDialogCancel});
    const Outcome outcome = Extract(Gzip(SmallThenBig().Raw()), NewInstallFolder(), true);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.failure.entry, "small");
    EXPECT_EQ(dialogs_.shown(), (std::vector<int>{IDD_DISK_FULL, IDD_DISK_FULL}));
    EXPECT_EQ(platform::QueryPathKind(InstallFolderPath()), platform::PathKind::kMissing);
}

// The deflate data turns invalid inside a body: the bytes before the error may arrive short,
// or not at all, but no negative count reaches the indicator or a write, and the run fails.
TEST_F(ExtractionTest, DataErrorInABodyFailsTheRun) {
    struct Row {
        const char* label;
        size_t present;  // bytes of the 150,000-byte body before the data turns invalid
    };
    const Row rows[] = {{"in_the_first_chunk", 30000},
                        {"at_a_chunk_boundary", 65536},
                        {"in_the_second_chunk", 80000}};
    for (const Row& row : rows) {
        platform_test::TestFolder test;
        RecordingIndicator indicator;
        progress_ = &indicator;
        const Bytes body = Pattern(150000, 3);
        const Bytes pack = GzipThenDataError(PackBytes()
                                                 .File("first", "1")
                                                 .File("broken", body)
                                                 .DropBodyBytes(150000 - row.present)
                                                 .Raw());
        const Outcome outcome = Extract(pack, test.path(), false);

        EXPECT_EQ(outcome.result, 0) << row.label;
        EXPECT_NE(outcome.failure.reason.find("data error"), std::string::npos) << row.label;
        uint32_t advanced = 0;
        for (uint32_t amount : indicator.advances()) {
            EXPECT_LE(amount, 65536u) << row.label;
            advanced += amount;
        }
        EXPECT_LE(advanced, 1 + row.present) << row.label;
        const std::string written = platform_test::ReadFile(test / "broken");
        EXPECT_LE(written.size(), row.present) << row.label;
        EXPECT_EQ(written, Text(body).substr(0, written.size())) << row.label;
    }
}

// Every body was delivered, but the gzip trailer's CRC does not match: something was corrupt.
TEST_F(ExtractionTest, ChecksumMismatchFailsAndRollsBack) {
    Bytes pack = Gzip(SampleTree().Raw());
    pack[pack.size() - 8] ^= 0x01;
    const Outcome outcome = Extract(pack, NewInstallFolder(), true);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_NE(outcome.failure.reason.find("checksum"), std::string::npos);
    EXPECT_EQ(platform::QueryPathKind(InstallFolderPath()), platform::PathKind::kMissing);
}

// A stream that ends inside a body stops the copy at once: the file cut short is not emptied,
// nor is any file after it, so a reinstall keeps what it had; the user is told of the damage.
TEST_F(ExtractionTest, BodyCutShortStopsTheCopyAtOnce) {
    const Bytes pack = Gzip(
        PackBytes().File("a", "12345").File("b", "67890").File("c", "").DropBodyBytes(3).Raw());
    const std::string folder = NewInstallFolder();
    for (const char* name : {"b", "c"}) {
        ASSERT_TRUE(platform_test::WriteFile(platform::JoinPath(folder, name), "installed"));
    }
    const Outcome outcome = Extract(pack, folder, false);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.failure.kind, ExtractionFailureKind::kDamagedPayload);
    EXPECT_EQ(outcome.failure.entry, "b");
    EXPECT_EQ(dialogs_.shown(), std::vector<int>{IDD_DAMAGED_PAYLOAD});
    EXPECT_EQ(Snapshot(folder), (Tree{{"a", "12345"}, {"b", "installed"}, {"c", "installed"}}));
}

// A run missing any lock or event of its hand-over is refused before anything starts: its waits
// would not wait, and the reader could overwrite a record the writer had not taken.
TEST_F(ExtractionTest, RefusesARunMissingASynchronisationObject) {
    struct NeverTold : ExtractionListener {
        void OnExtractionDone(int) override { ADD_FAILURE() << "told of a run never started"; }
    } listener;
    const std::string folder = NewInstallFolder();
    constexpr int kObjects = 8;  // the record lock, five events and the chunk buffer's semaphores
    for (int failing = 1; failing <= kObjects; ++failing) {
        platform::FailSyncObjectCreation(failing);
        EXPECT_FALSE(StartExtraction(Request(folder, &listener))) << "object " << failing;
        platform::FailSyncObjectCreation(0);
    }
    EXPECT_EQ(Extract(Gzip(SampleTree().Raw()), folder, true).result, 1) << "refused for good";
}

// A request that does not name its indicator, its dialog host or its listener is refused.
TEST_F(ExtractionTest, RefusesARequestMissingWhatARunUses) {
    struct NeverTold : ExtractionListener {
        void OnExtractionDone(int) override { ADD_FAILURE() << "told of a run never started"; }
    } listener;
    const std::string folder = NewInstallFolder();
    ExtractionRequest no_progress = Request(folder, &listener);
    no_progress.progress = nullptr;
    ExtractionRequest no_dialogs = Request(folder, &listener);
    no_dialogs.dialogs = nullptr;
    EXPECT_FALSE(StartExtraction(std::move(no_progress)));
    EXPECT_FALSE(StartExtraction(std::move(no_dialogs)));
    EXPECT_FALSE(StartExtraction(Request(folder, nullptr)));
}

// While a run asks its exit question, a second run is refused: both would move the one current
// folder of the process.
TEST_F(ExtractionTest, RefusesASecondRunWhileOneIsGoing) {
    struct SecondStart : platform::DialogHost {
        int Show(int) override {
            struct NeverTold : ExtractionListener {
                void OnExtractionDone(int) override { ADD_FAILURE() << "a second run"; }
            } listener;
            ExtractionRequest second;
            second.install_folder = folder;
            second.progress = &progress;
            second.dialogs = this;
            second.listener = &listener;
            started = StartExtraction(std::move(second));
            return kDialogCancel;
        }
        std::string folder;
        RecordingIndicator progress;
        bool started = true;
    } host;
    host.folder = NewInstallFolder();
    host_ = &host;
    indicator_.RequestCancelAtAdvance(1);
    EXPECT_EQ(Extract(Gzip(SmallThenBig().Raw()), host.folder, true).result, 1);
    EXPECT_FALSE(host.started);
}

}  // namespace
}  // namespace extraction_test

namespace extraction_test {
namespace {

// Asks the running copy to stop (as the program's end does) from its `stop_at`th Advance.
class StoppingIndicator : public RecordingIndicator {
  public:
    explicit StoppingIndicator(int stop_at) : stop_at_(stop_at) {}
    void Advance(uint32_t amount) override {
        RecordingIndicator::Advance(amount);
        if (++advances_ == stop_at_) {
            StopExtraction();
        }
    }

  private:
    int stop_at_;
    int advances_ = 0;  // the reader's only
};

// A stop request ends the copy with no question, as "OK Exit" would, also one that comes with the
// very last chunk. A first installation goes, a reinstall keeps what
// it had, and the next run is not stopped by it.
TEST_F(ExtractionTest, StopRequestFailsTheRunWithoutAQuestion) {
    struct Row {
        int stop_at;  // of the sample tree's six advances
        bool first_installation;
    } const rows[] = {{1, true}, {6, true}, {1, false}, {6, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE("stop at advance " + std::to_string(row.stop_at) +
                     (row.first_installation ? ", first installation" : ", reinstall"));
        platform_test::TestFolder test;
        const std::string folder = test / "Dominarch";
        ASSERT_EQ(platform::CreateFolder(folder), FsError::kOk);
        ASSERT_TRUE(platform_test::WriteFile(platform::JoinPath(folder, "keep.txt"), "keep"));
        StoppingIndicator indicator(row.stop_at);
        progress_ = &indicator;
        ScriptedDialogs dialogs;
        host_ = &dialogs;
        const Outcome outcome = Extract(Gzip(SampleTree().Raw()), folder, row.first_installation);
        EXPECT_EQ(outcome.result, 0);
        EXPECT_EQ(outcome.failure.kind, ExtractionFailureKind::kStopped);
        EXPECT_EQ(dialogs.shown(), std::vector<int>{});
        if (row.first_installation) {
            EXPECT_EQ(platform::QueryPathKind(folder), platform::PathKind::kMissing);
        } else {
            EXPECT_EQ(Snapshot(folder).at("keep.txt"), "keep");
        }
        progress_ = &indicator_;
        EXPECT_EQ(Extract(Gzip(SampleTree().Raw()), NewInstallFolder(), true).result, 1);
        platform_test::RemoveTree(InstallFolderPath());
    }
}

}  // namespace
}  // namespace extraction_test

namespace extraction_test {
namespace {

// While it lives, the system refuses to let the copy write the file "big" for a reason this
// program has no words of its own for: the file is held open with no sharing on Windows (as a
// running game holds its files); elsewhere a file-size limit stops the write after 10 bytes.
class SystemRefusal {
  public:
#ifdef _WIN32
    explicit SystemRefusal(const std::string& folder) {
        held_ = CreateFileA(platform::JoinPath(folder, "big").c_str(), GENERIC_READ, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(held_, INVALID_HANDLE_VALUE);
    }
    ~SystemRefusal() {
        CloseHandle(held_);
    }
    static uint32_t Code() {
        return ERROR_SHARING_VIOLATION;
    }

  private:
    HANDLE held_;
#else
    explicit SystemRefusal(const std::string&) {
        EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &saved_), 0);
        rlimit limit = saved_;
        limit.rlim_cur = 10;
        signal(SIGXFSZ, SIG_IGN);
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~SystemRefusal() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, SIG_DFL);
    }
    static uint32_t Code() {
        return EFBIG;
    }

  private:
    rlimit saved_;
#endif
};

// A failure that no question of the installer tells (not a full disk) is told once, naming the
// file by its full path and saying why in the system's own words.
TEST_F(ExtractionTest, FailureTheSystemExplainsIsToldInItsWords) {
    const std::string folder = NewInstallFolder();
    Outcome outcome;
    {
        SystemRefusal refusal(folder);
        outcome = Extract(Gzip(SmallThenBig().Raw()), folder, false);
    }
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.failure.kind, ExtractionFailureKind::kError);
    EXPECT_EQ(dialogs_.shown(), std::vector<int>{IDD_INSTALL_ERROR});
    const std::string words = platform::SystemErrorText(SystemRefusal::Code());
    ASSERT_FALSE(words.empty());
    const std::string message = dialogs_.LastMessage();
    EXPECT_NE(message.find("\n" + platform::JoinPath(folder, "big") + "\n"), std::string::npos)
        << message;
    EXPECT_NE(message.find(words), std::string::npos) << message;
    EXPECT_EQ(message.back(), '.');
}

}  // namespace
}  // namespace extraction_test
