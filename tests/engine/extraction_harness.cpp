#include "tests/engine/extraction_harness.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>

#include "install/copy_rollback.h"
#include "platform/files.h"
#include "platform/resource_store.h"
#include "res/resource_ids.h"

namespace extraction_test {

namespace {

constexpr char kFolderMark[] = "<folder>";
constexpr char kLinkMark[] = "<link>";
// Far beyond any run of a test pack: reaching it means the pipeline hangs.
constexpr auto kHangLimit = std::chrono::seconds(120);

class WaitingListener : public ExtractionListener {
  public:
    void OnExtractionFailed(const ExtractionFailure& failure) override {
        std::lock_guard<std::mutex> lock(mutex_);
        outcome_.failure = failure;
        ++failures_told_;
    }
    void OnExtractionDone(int result) override {
        std::lock_guard<std::mutex> lock(mutex_);
        outcome_.result = result;
        ++times_told_;
        done_.notify_all();
    }
    Outcome Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!done_.wait_for(lock, kHangLimit, [this] { return times_told_ > 0; })) {
            std::fputs("extraction test: the pipeline hangs\n", stderr);
            std::abort();  // the run still uses this test's objects: nothing can go on safely
        }
        EXPECT_EQ(times_told_, 1);
        EXPECT_EQ(failures_told_, outcome_.result == 0 ? 1 : 0);
        return outcome_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable done_;
    Outcome outcome_;
    int times_told_ = 0;
    int failures_told_ = 0;
};

void SnapshotInto(const std::string& folder, const std::string& prefix, Tree* tree) {
    platform::FolderLister lister;
    if (!lister.Open(folder)) {
        return;
    }
    platform::FolderEntry entry;
    while (lister.Next(&entry)) {
        if (entry.name == "." || entry.name == "..") {
            continue;
        }
        const std::string path = platform::JoinPath(folder, entry.name);
        if (entry.is_link) {
            (*tree)[prefix + entry.name + "@"] = kLinkMark;
        } else if (entry.is_folder) {
            (*tree)[prefix + entry.name + "/"] = kFolderMark;
            SnapshotInto(path, prefix + entry.name + "/", tree);
        } else {
            (*tree)[prefix + entry.name] = platform_test::ReadFile(path);
        }
    }
}

}  // namespace

#ifdef _WIN32
const char kCafeName[] = "caf\xE9.txt";  // the ANSI code page spells it as the pack does
#else
const char kCafeName[] = "caf\xC3\xA9.txt";
#endif

void RecordingIndicator::Advance(uint32_t amount) {
    int count;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back({'A', amount});
        count = ++advance_count_;
    }
    if (count == cancel_at_.load()) {
        cancel_.store(true);
    }
}

void RecordingIndicator::Record(char op, uint32_t value) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back({op, value});
}

std::vector<RecordingIndicator::Call> RecordingIndicator::calls() {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

std::vector<uint32_t> RecordingIndicator::advances() {
    std::vector<uint32_t> amounts;
    for (const Call& call : calls()) {
        if (call.op == 'A') {
            amounts.push_back(call.value);
        }
    }
    return amounts;
}

void ScriptedDialogs::Script(int id, std::vector<int> answers) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_[id] = std::move(answers);
}

int ScriptedDialogs::Show(int resource_id) {
    std::lock_guard<std::mutex> lock(mutex_);
    shown_.push_back(resource_id);
    std::vector<int>& answers = answers_[resource_id];
    if (answers.empty()) {
        return platform::kDialogCancel;
    }
    const int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

void ScriptedDialogs::ShowMessage(int resource_id, const std::string& text) {
    Show(resource_id);
    std::lock_guard<std::mutex> lock(mutex_);
    last_message_ = text;
}

std::string ScriptedDialogs::LastMessage() {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_message_;
}

std::vector<int> ScriptedDialogs::shown() {
    std::lock_guard<std::mutex> lock(mutex_);
    return shown_;
}

platform::FileFault CountingFaults::Before(platform::FileOp op, const std::string& /*path*/) {
    using platform::FileOp;
    if (op != FileOp::kCreateFolder && op != FileOp::kCreateFile && op != FileOp::kWrite &&
        op != FileOp::kClose) {
        return {};
    }
    const int number = ++count_;
    return rule_ ? rule_(number, op) : platform::FileFault{};
}

Tree Snapshot(const std::string& folder) {
    Tree tree;
    SnapshotInto(folder, "", &tree);
    return tree;
}

Tree SampleTreeFiles() {
    return {
        {"Dominarch.exe", "MZ stand-in"},
        {"data/", kFolderMark},
        {"data/empty.dat", ""},
        {"data/maps/", kFolderMark},
        {"data/maps/big.map", Text(Pattern(131072, 1))},
        {"data/save/", kFolderMark},
        {kCafeName, "x"},
    };
}

std::string Text(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

void ExtractionTest::SetUp() {
    progress_ = &indicator_;
    host_ = &dialogs_;
}

void ExtractionTest::TearDown() {
    platform::SetFileFaultHook(nullptr);
}

ExtractionRequest ExtractionTest::Request(const std::string& folder, ExtractionListener* listener) {
    ExtractionRequest request;
    request.install_folder = folder;
    request.progress = progress_;
    request.dialogs = host_;
    request.listener = listener;
    return request;
}

Outcome ExtractionTest::Extract(const Bytes* pack, const std::string& folder, bool rollback) {
    ExactBlock block(pack != nullptr ? *pack : Bytes());
    WaitingListener listener;
    ExtractionRequest request = Request(folder, &listener);
    if (pack != nullptr) {
        request.payload = block.data();
        request.payload_size = block.size();
    }
    request.rollback = install::RollbackOfFailedCopy(folder, rollback);
    if (!StartExtraction(std::move(request))) {
        ADD_FAILURE() << "the extraction did not start";
        return {};
    }
    return listener.Wait();
}

std::string ExtractionTest::NewInstallFolder() {
    const std::string folder = InstallFolderPath();
    EXPECT_EQ(platform::CreateFolder(folder), platform::FsError::kOk);
    return folder;
}

}  // namespace extraction_test
