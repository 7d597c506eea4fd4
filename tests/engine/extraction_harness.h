#pragma once

// Runs the extraction pipeline in a test: the pack as the request's payload, a recording progress
// indicator, scripted answers to the dialogs, an optional fault in the file layer, and a wait for
// the listener that can never hang the test program.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine/extraction.h"
#include "engine/progress_indicator.h"
#include "platform/dialogs.h"
#include "platform/file_faults.h"
#include "tests/engine/pack_fixture.h"
#include "tests/platform/test_folder.h"

namespace extraction_test {

// Every call the pipeline makes on the indicator, in order; a cancel request can be made from a
// chosen Advance, as a click on the indicator would make it.
class RecordingIndicator : public ProgressIndicator {
  public:
    struct Call {
        char op;  // 'R' Reset, 'T' SetTotal, 'A' Advance
        uint32_t value;
        bool operator==(const Call&) const = default;
    };

    void Reset() override { Record('R', 0); }
    void SetTotal(uint32_t total) override { Record('T', total); }
    void Advance(uint32_t amount) override;
    bool CancelRequested() override { return cancel_.load(); }
    void ClearCancelRequest() override { cancel_.store(false); }

    void RequestCancelAtAdvance(int advance) { cancel_at_ = advance; }  // from 1; 0: never
    std::vector<Call> calls();
    std::vector<uint32_t> advances();

  private:
    void Record(char op, uint32_t value);

    std::mutex mutex_;
    std::vector<Call> calls_;  // guarded by mutex_
    int advance_count_ = 0;    // guarded by mutex_
    std::atomic<int> cancel_at_{0};
    std::atomic<bool> cancel_{false};
};

// Answers each dialog id from a script (then IDCANCEL) and records the ids shown, in order.
class ScriptedDialogs : public platform::DialogHost {
  public:
    void Script(int id, std::vector<int> answers);
    int Show(int resource_id) override;
    void ShowMessage(int resource_id, const std::string& text) override;
    std::vector<int> shown();
    std::string LastMessage();  // the text of the last message shown; "" before any

  private:
    std::mutex mutex_;
    std::map<int, std::vector<int>> answers_;  // still to give, per id
    std::vector<int> shown_;
    std::string last_message_;
};

// Counts the writer's file operations (folder and file creation, write, close) and lets a rule
// fail any of them by its number, from 1.
class CountingFaults : public platform::FileFaultHook {
  public:
    using Rule = std::function<platform::FileFault(int number, platform::FileOp op)>;
    explicit CountingFaults(Rule rule = nullptr) : rule_(std::move(rule)) {}
    platform::FileFault Before(platform::FileOp op, const std::string& path) override;
    int count() const { return count_.load(); }

  private:
    Rule rule_;
    std::atomic<int> count_{0};
};

struct Outcome {
    int result = -1;
    ExtractionFailure failure;
};

// The tree under a folder: "name/" for a folder, "name@" for a link, "name" -> content for a
// file; paths below the folder with '/' between names. Links are never followed.
using Tree = std::map<std::string, std::string>;
Tree Snapshot(const std::string& folder);

// What SampleTree() installs, and the name its cp1252 "café.txt" gets on this host.
Tree SampleTreeFiles();
extern const char kCafeName[];

std::string Text(const Bytes& bytes);

class ExtractionTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Extracts `pack` (the payload; null: none) into `folder` with progress_ and host_, a first
    // installation's rollback when `rollback`, and waits for the end.
    Outcome Extract(const Bytes* pack, const std::string& folder, bool rollback);
    Outcome Extract(const Bytes& pack, const std::string& folder, bool rollback) {
        return Extract(&pack, folder, rollback);
    }
    // A first installation's folder, "<test folder>/Dominarch", created empty.
    std::string NewInstallFolder();
    std::string InstallFolderPath() const { return test_folder_ / "Dominarch"; }

    // A request for a run into `folder` with progress_ and host_, told to `listener`.
    ExtractionRequest Request(const std::string& folder, ExtractionListener* listener);

    platform_test::TestFolder test_folder_;
    RecordingIndicator indicator_;
    ScriptedDialogs dialogs_;
    ProgressIndicator* progress_ = &indicator_;  // what the next run drives
    platform::DialogHost* host_ = &dialogs_;     // what the next run asks
};

}  // namespace extraction_test
