// Faults injected into the writer's file operations one by one, and many runs cancelled at
// random points: whatever happens, a run either succeeds with the whole tree, byte for byte, or
// reports failure, and a failed first installation leaves no install folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/files.h"
#include "res/resource_ids.h"
#include "tests/engine/extraction_harness.h"

namespace extraction_test {
namespace {

using platform::FileFault;
using platform::FileOp;
using platform::FsError;

enum class Spread { kOnce, kFromThenOn };

struct SweepMode {
    const char* label;
    Spread spread;
    FileFault fault;
    bool first_installation;
};

// Every run of the sweep: a fault at operation `number`; the disk-full question is answered
// with Retry twice, then with "Exit from Setup".
class FaultSweep : public ExtractionTest {
  protected:
    // Returns the operation kind the fault hit (if any).
    Outcome RunWithFault(const SweepMode& mode, int number, const Bytes& pack, FileOp* hit,
                         bool* hit_any) {
        platform_test::TestFolder test;
        const std::string folder = test / "Dominarch";
        EXPECT_EQ(platform::CreateFolder(folder), FsError::kOk);
        *hit_any = false;
        CountingFaults faults([&](int n, FileOp op) {
            const bool fails = mode.spread == Spread::kOnce ? n == number : n >= number;
            if (n == number) {
                *hit = op;
                *hit_any = true;
            }
            return fails ? mode.fault : FileFault{};
        });
        ScriptedDialogs dialogs;
        dialogs.Script(IDD_DISK_FULL, {platform::kDialogOk, platform::kDialogOk});
        host_ = &dialogs;
        platform::SetFileFaultHook(&faults);
        const Outcome outcome = Extract(pack, folder, mode.first_installation);
        platform::SetFileFaultHook(nullptr);

        const std::vector<int> shown = dialogs.shown();
        const size_t disk_full = std::count(shown.begin(), shown.end(), IDD_DISK_FULL);
        const size_t told = std::count(shown.begin(), shown.end(), IDD_INSTALL_ERROR);
        if (outcome.result == 1) {
            EXPECT_EQ(Snapshot(folder), SampleTreeFiles());
            EXPECT_EQ(told, 0u);
        } else {
            EXPECT_FALSE(outcome.failure.reason.empty());
            if (mode.first_installation) {
                EXPECT_EQ(platform::QueryPathKind(folder), platform::PathKind::kMissing);
            }
            // Never silent: a full disk the user gave up on was asked about (and Retry never
            // offered for anything else); every other failure is told once, by name.
            if (platform::IsOutOfSpace(mode.fault.error) && *hit != FileOp::kClose) {
                EXPECT_EQ(disk_full, 3u);
                EXPECT_EQ(told, 0u);
            } else {
                EXPECT_EQ(disk_full, 0u);
                EXPECT_EQ(told, 1u);
                EXPECT_NE(dialogs.LastMessage().find(folder), std::string::npos)
                    << dialogs.LastMessage();
            }
        }
        return outcome;
    }
};

TEST_F(FaultSweep, EveryWriterOperationFailingOnceOrFromThenOn) {
    const Bytes pack = Gzip(SampleTree().Raw());
    const std::string folder = NewInstallFolder();
    CountingFaults counter;
    platform::SetFileFaultHook(&counter);
    ASSERT_EQ(Extract(pack, folder, true).result, 1);
    platform::SetFileFaultHook(nullptr);
    const int operations = counter.count();
    ASSERT_EQ(operations, 15);  // 3 folders, 4 files with 4 writes (2 for big.map) and 4 closes

    const SweepMode modes[] = {
        {"refused_once", Spread::kOnce, {FsError::kAccessDenied, 0}, true},
        {"refused_from_then_on", Spread::kFromThenOn, {FsError::kAccessDenied, 0}, true},
        {"disk_full_once", Spread::kOnce, {FsError::kDiskFull, 7}, true},
        {"disk_full_from_then_on", Spread::kFromThenOn, {FsError::kDiskFull, 7}, true},
        {"reinstall_refused_once", Spread::kOnce, {FsError::kAccessDenied, 0}, false},
        {"reinstall_disk_full_from_then_on", Spread::kFromThenOn, {FsError::kDiskFull, 7}, false},
    };
    for (const SweepMode& mode : modes) {
        for (int number = 1; number <= operations; ++number) {
            SCOPED_TRACE(std::string(mode.label) + " at operation " + std::to_string(number));
            FileOp hit = FileOp::kClose;
            bool hit_any = false;
            const Outcome outcome = RunWithFault(mode, number, pack, &hit, &hit_any);
            ASSERT_TRUE(hit_any);
            // A full disk that is freed once recovers with Retry; a failed close cannot be
            // retried, and neither can anything but a full disk.
            const bool recoverable = mode.spread == Spread::kOnce && hit != FileOp::kClose &&
                                     platform::IsOutOfSpace(mode.fault.error);
            if (recoverable) {
                EXPECT_EQ(outcome.result, 1);
            }
            if (hit == FileOp::kClose) {
                EXPECT_EQ(outcome.result, 0);  // what the system held back may be lost
            }
        }
    }
}

// Hundreds of runs with a click on the indicator at a random chunk and a random answer; the
// exit question is asked at most once per click and decides the result.
TEST_F(ExtractionTest, ManyRunsCancelledAtRandomPointsNeverHang) {
    const Bytes pack = Gzip(PackBytes()
                                .File("a", Pattern(65536 + 100, 4))
                                .Folder("d")
                                .File("b", Pattern(2 * 65536, 5))
                                .Up()
                                .Raw());
    const Tree whole = {{"a", Text(Pattern(65536 + 100, 4))},
                        {"d/", "<folder>"},
                        {"d/b", Text(Pattern(2 * 65536, 5))}};
    std::mt19937 random(20240601);
    for (int run = 0; run < 300; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        platform_test::TestFolder test;
        const std::string folder = test / "Dominarch";
        ASSERT_EQ(platform::CreateFolder(folder), FsError::kOk);
        RecordingIndicator indicator;
        indicator.RequestCancelAtAdvance(static_cast<int>(random() % 6));  // 0: no click
        progress_ = &indicator;
        const bool exits = random() % 2 == 0;
        const bool first_installation = random() % 2 == 0;
        ScriptedDialogs dialogs;
        dialogs.Script(IDD_EXIT_INSTALL, {exits ? platform::kDialogOk : platform::kDialogCancel});
        host_ = &dialogs;

        const Outcome outcome = Extract(pack, folder, first_installation);
        const bool asked = !dialogs.shown().empty();
        EXPECT_LE(dialogs.shown().size(), 1u);
        EXPECT_EQ(outcome.result, asked && exits ? 0 : 1);
        if (outcome.result == 1) {
            EXPECT_EQ(Snapshot(folder), whole);
        } else if (first_installation) {
            EXPECT_EQ(platform::QueryPathKind(folder), platform::PathKind::kMissing);
        }
    }
}

}  // namespace
}  // namespace extraction_test
