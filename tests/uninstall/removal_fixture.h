#pragma once

// What the removal tests put around RemoveInstallFolder: a "Dominarch" folder in a fresh temp
// folder, a scripted dialog host that records the dialogs shown, a progress indicator that counts
// its steps (both handed to the removal), and a file fault seam. The current folder and the hook
// are put back afterwards.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/file_faults.h"
#include "platform/progress.h"
#include "tests/platform/test_folder.h"
#include "uninstall/install_folder_removal.h"

namespace uninstall_test {

class CountingProgress : public ProgressIndicator {
  public:
    void Reset() override {}
    void SetTotal(uint32_t) override {}
    void Advance(uint32_t amount) override { steps += amount; }
    bool CancelRequested() override { return false; }
    void ClearCancelRequest() override {}

    uint32_t steps = 0;
};

class ScriptedDialogs : public platform::DialogHost {
  public:
    int Show(int resource_id) override {
        shown.push_back(resource_id);
        return answer;
    }

    int answer = platform::kDialogCancel;
    std::vector<int> shown;
};

// Fails the first `times` operations `op` on `path` with `error`.
class FailPath : public platform::FileFaultHook {
  public:
    FailPath(platform::FileOp op, std::string path, platform::FsError error, int times = 1 << 30)
        : op_(op), path_(std::move(path)), error_(error), times_(times) {}
    platform::FileFault Before(platform::FileOp op, const std::string& path) override;

  private:
    platform::FileOp op_;
    std::string path_;
    platform::FsError error_;
    int times_;
};

class RemovalTest : public ::testing::Test {
  protected:
    RemovalTest();
    ~RemovalTest() override;

    // Creates the install folder and the entries below it.
    void MakeGame(const std::vector<std::string>& entries);
    // Injects one fault (replacing an earlier one) on a path relative to the install folder.
    void FailOn(platform::FileOp op, const std::string& relative, platform::FsError error,
                int times = 1 << 30);
    // The removal and the deletion of the game's files with this fixture's dialogs and progress.
    bool Remove(const std::string& folder) {
        return RemoveInstallFolder(folder, &progress_, &dialogs_);
    }
    uint32_t DeleteFiles(const std::string& folder) { return DeleteGameFiles(folder, &progress_); }

    platform_test::TestFolder temp_;
    const std::string game_;
    ScriptedDialogs dialogs_;
    CountingProgress progress_;

  private:
    std::string saved_folder_;
    std::unique_ptr<FailPath> fault_;
};

}  // namespace uninstall_test
