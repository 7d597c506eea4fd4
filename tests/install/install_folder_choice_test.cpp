// Every way through the folder choice, walked with a scripted answerer: a row gives the answers
// (to the folder browser and to each question), the free space the drive reports each time it is
// asked, and what must have been shown, in order, and where the choice ends. The folders are
// real temporary ones, so the creation of the game's folder and its failures are the platform's.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdint>
#include <deque>
#include <sstream>
#include <string>
#include <vector>

#include "install/copy_rollback.h"
#include "install/disk_space.h"
#include "install/install_folder_choice.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "tests/platform/test_folder.h"

namespace {

using platform::kPathSeparator;
using platform_test::TestFolder;

// A path below `root` written with '/' in the rows, in the platform's own form.
std::string Under(const std::string& root, std::string relative) {
    for (char& c : relative) {
        c = c == '/' ? kPathSeparator : c;
    }
    return platform::JoinPath(root, relative);
}

constexpr int64_t kRoom = 200000001;   // one byte more than an installation needs
constexpr int64_t kShort = 200000000;  // exactly what it needs: not enough
constexpr int64_t kFails = -1;         // the query fails

// What lies in the test folder before the choice: folders A and B, and maybe more.
enum class Setup { kPlain, kGameFolderInA, kGameFileInA, kGameLinkInA };

struct Row {
    const char* name;
    Setup setup;
    std::vector<const char*> answers;  // "browse X": choose X; "cancel [X]": highlight X, cancel;
                                       // "157 ok", "156 1001", ...: a question and its answer
    std::vector<int64_t> free_space;   // the successive answers of the free-space query
    std::vector<const char*> shown;    // what was shown and asked, in order
    bool chosen;                       // the choice's result
    const char* install_path;          // relative to the test folder, when chosen
};

// Plays the user: answers from the row's script and logs every question, with the folders
// relative to the test folder.
class ScriptedUser : public platform::DialogHost {
  public:
    ScriptedUser(const std::string& root, const Row& row)
        : root_(root),
          answers_(row.answers.begin(), row.answers.end()),
          free_space_(row.free_space.begin(), row.free_space.end()) {}

    int Show(int resource_id) override {
        const std::string id = std::to_string(resource_id);
        Log(id);
        const std::string answer = Next(id);
        return answer == id + " ok" ? platform::kDialogOk : platform::kDialogCancel;
    }

    int BrowseForFolder(const std::string& initial_path, const std::string& subfolder,
                        platform::FolderChoice* choice) override {
        Log("browse " + Relative(initial_path));
        const std::string answer = Next("browse");
        const bool chosen = answer.rfind("browse ", 0) == 0;
        const size_t blank = answer.find(' ');
        // Without a move, the highlight stays on the folder the browser opened on.
        choice->selected_folder = blank == std::string::npos
                                      ? OpenedOn(initial_path, subfolder)
                                      : platform::JoinPath(root_, answer.substr(blank + 1));
        choice->install_path = platform::JoinPath(choice->selected_folder, subfolder);
        return chosen ? platform::kDialogOk : platform::kDialogCancel;
    }

    int AskDiskSpace(uint64_t required, uint64_t available, bool query_failed) override {
        EXPECT_EQ(required, install::kInstallSize);
        Log(query_failed ? "156 failed" : "156 " + std::to_string(available));
        const std::string answer = Next("156");
        return answer.rfind("156 ", 0) == 0 ? std::stoi(answer.substr(4))
                                            : platform::kDiskSpaceExit;
    }

    bool FreeSpace(const std::string& folder, uint64_t* bytes) {
        Log("space " + Relative(folder));
        if (free_space_.empty()) {
            ADD_FAILURE() << "the free space was asked once more than the row says";
            return false;
        }
        const int64_t answer = free_space_.front();
        free_space_.pop_front();
        *bytes = answer < 0 ? 0 : static_cast<uint64_t>(answer);
        return answer >= 0;
    }

    const std::vector<std::string>& shown() const { return shown_; }
    bool AllAnswered() const { return answers_.empty() && free_space_.empty(); }

  private:
    void Log(const std::string& what) {
        shown_.push_back(what);
        if (shown_.size() > 40) {
            ADD_FAILURE() << "the choice goes round and round";
            answers_.clear();
        }
    }

    // The next answer, which must be for `question`; out of script, the answer that leaves.
    std::string Next(const std::string& question) {
        if (answers_.empty() || answers_.front().rfind(question == "browse" ? "" : question, 0)) {
            ADD_FAILURE() << "no answer in the script for " << question;
            answers_.clear();
            return question == "157" ? "157 ok" : "";
        }
        std::string answer = answers_.front();
        answers_.pop_front();
        if (question == "browse" && answer.rfind("browse", 0) && answer.rfind("cancel", 0)) {
            ADD_FAILURE() << "the browser was shown where the script says " << answer;
            answers_.clear();
            return "cancel";
        }
        return answer;
    }

    std::string Relative(const std::string& path) const {
        if (path.rfind(root_ + kPathSeparator, 0) != 0) {
            return path;
        }
        std::string relative = path.substr(root_.size() + 1);
        for (char& c : relative) {
            c = c == kPathSeparator ? '/' : c;
        }
        return relative;
    }

    // The folder holding the proposed path, as the browser opens on it.
    static std::string OpenedOn(const std::string& initial_path, const std::string& subfolder) {
        const std::string tail = kPathSeparator + subfolder;
        if (initial_path.size() > tail.size() &&
            initial_path.compare(initial_path.size() - tail.size(), tail.size(), tail) == 0) {
            return initial_path.substr(0, initial_path.size() - tail.size());
        }
        return initial_path;
    }

    std::string root_;
    std::deque<std::string> answers_;
    std::deque<int64_t> free_space_;
    std::vector<std::string> shown_;
};

const Row kRows[] = {
    {"FirstChoiceWithRoom",
     Setup::kPlain,
     {"browse A"},
     {kRoom},
     {"browse Program Files", "space A"},
     true,
     "A/Dominarch"},
    {"CancelThenOkExit",
     Setup::kPlain,
     {"cancel", "157 ok"},
     {},
     {"browse Program Files", "157"},
     false,
     ""},
    {"CancelThenContinueOpensOnTheHighlight",
     Setup::kPlain,
     {"cancel B", "157 cancel", "browse A"},
     {kRoom},
     {"browse Program Files", "157", "browse B/Dominarch", "space A"},
     true,
     "A/Dominarch"},
    {"ExactlyTheInstallSizeWarns",
     Setup::kPlain,
     {"browse A", "156 1000"},
     {kShort},
     {"browse Program Files", "space A", "156 200000000"},
     true,
     "A/Dominarch"},
    {"FailedQueryShowsNothingAvailableAndRetries",
     Setup::kPlain,
     {"browse A", "156 1002"},
     {kFails, kRoom},
     {"browse Program Files", "space A", "156 failed", "space A"},
     true,
     "A/Dominarch"},
    {"AnotherDriveThenCancelTestsTheHighlight",
     Setup::kPlain,
     {"browse A", "156 1001", "cancel B"},
     {100, kRoom},
     {"browse Program Files", "space A", "156 100", "browse A/Dominarch", "space B"},
     true,
     "B/Dominarch"},
    {"ExitSetupThenOkExit",
     Setup::kPlain,
     {"browse A", "156 1003", "157 ok"},
     {100},
     {"browse Program Files", "space A", "156 100", "157"},
     false,
     ""},
    {"ExitSetupThenContinueTestsAgain",
     Setup::kPlain,
     {"browse A", "156 1003", "157 cancel"},
     {100, kRoom},
     {"browse Program Files", "space A", "156 100", "157", "space A"},
     true,
     "A/Dominarch"},
    {"ExistingFolderOverwrite",
     Setup::kGameFolderInA,
     {"browse A", "160 ok"},
     {kRoom},
     {"browse Program Files", "space A", "160"},
     true,
     "A/Dominarch"},
    {"ExistingFolderSelectAnother",
     Setup::kGameFolderInA,
     {"browse A", "160 cancel", "browse B"},
     {kRoom, kRoom},
     {"browse Program Files", "space A", "160", "browse A/Dominarch", "space B"},
     true,
     "B/Dominarch"},
    {"AnotherDriveSurvivesSelectAnother",
     Setup::kGameFolderInA,
     {"browse A", "156 1001", "browse A", "160 cancel", "cancel B"},
     {100, kRoom, kRoom},
     {"browse Program Files", "space A", "156 100", "browse A/Dominarch", "space A", "160",
      "browse A/Dominarch", "space B"},
     true,
     "B/Dominarch"},
    {"ContinueInstallationEndsAnotherDrive",
     Setup::kGameFolderInA,
     {"browse A", "156 1001", "browse A", "156 1000", "160 cancel", "cancel", "157 ok"},
     {100, 100},
     {"browse Program Files", "space A", "156 100", "browse A/Dominarch", "space A", "156 100",
      "160", "browse A/Dominarch", "157"},
     false,
     ""},
    {"CreationErrorContinueKeepsAnotherDrive",
     Setup::kPlain,
     {"browse M", "156 1001", "cancel", "158 ok", "cancel A"},
     {100, kRoom, kRoom},
     {"browse Program Files", "space M", "156 100", "browse M/Dominarch", "space M", "158",
      "browse M/Dominarch", "space A"},
     true,
     "A/Dominarch"},
    {"CreationErrorExit",
     Setup::kPlain,
     {"browse M", "158 cancel"},
     {kRoom},
     {"browse Program Files", "space M", "158"},
     false,
     ""},
    // A file or a link of the game folder's name is no folder to install over.
    {"GameNameTakenByAFile",
     Setup::kGameFileInA,
     {"browse A", "158 cancel"},
     {kRoom},
     {"browse Program Files", "space A", "158"},
     false,
     ""},
    {"GameNameTakenByALink",
     Setup::kGameLinkInA,
     {"browse A", "158 cancel"},
     {kRoom},
     {"browse Program Files", "space A", "158"},
     false,
     ""},
};

std::string Joined(const std::vector<std::string>& lines) {
    std::ostringstream text;
    for (const std::string& line : lines) {
        text << "\n  " << line;
    }
    return text.str();
}

class FolderChoiceTest : public testing::TestWithParam<Row> {};

TEST_P(FolderChoiceTest, ShowsWhatTheRowSaysAndEndsThere) {
    const Row& row = GetParam();
    TestFolder root;
    TestFolder outside;
    for (const char* folder : {"A", "B"}) {
        ASSERT_EQ(platform::CreateFolder(root / folder), platform::FsError::kOk);
    }
    const std::string game_in_a = platform::JoinPath(root / "A", "Dominarch");
    const std::string kept = platform::JoinPath(game_in_a, "kept.sav");
    switch (row.setup) {
        case Setup::kPlain:
            break;
        case Setup::kGameFolderInA:
            ASSERT_EQ(platform::CreateFolder(game_in_a), platform::FsError::kOk);
            ASSERT_TRUE(platform_test::WriteFile(kept, "saved game"));
            break;
        case Setup::kGameFileInA:
            ASSERT_TRUE(platform_test::WriteFile(game_in_a, "a file"));
            break;
        case Setup::kGameLinkInA:
#ifdef _WIN32
            GTEST_SKIP() << "symbolic links are made by the POSIX tests";
#else
            ASSERT_EQ(symlink(outside.path().c_str(), game_in_a.c_str()), 0);
#endif
            break;
    }

    ScriptedUser user(root.path(), row);
    std::string path = root / "Program Files";
    bool created = true;
    const bool chosen = install::ChooseInstallFolder(
        &path, &user,
        [&](const std::string& folder, uint64_t* bytes) { return user.FreeSpace(folder, bytes); },
        &created);

    std::vector<std::string> expected(row.shown.begin(), row.shown.end());
    EXPECT_EQ(user.shown(), expected)
        << "shown:" << Joined(user.shown()) << "\nexpected:" << Joined(expected);
    EXPECT_TRUE(user.AllAnswered()) << "the choice ended before the script";
    ASSERT_EQ(chosen, row.chosen);
    if (chosen) {
        const std::string install_path = Under(root.path(), row.install_path);
        EXPECT_EQ(path, install_path);
        EXPECT_EQ(platform::QueryPathKind(install_path), platform::PathKind::kFolder);
        // Only a folder the choice made may be removed again by a failed copy.
        EXPECT_EQ(created, !(row.setup == Setup::kGameFolderInA && install_path == game_in_a));
    } else {
        EXPECT_FALSE(created);
    }
    // Nothing else was made: an abandoned choice leaves no folder behind.
    for (const char* name : {"A/Dominarch", "B/Dominarch", "M"}) {
        const std::string made = Under(root.path(), name);
        if (!chosen || made != path) {
            EXPECT_EQ(platform::QueryPathKind(made) == platform::PathKind::kMissing,
                      row.setup == Setup::kPlain || std::string(name) != "A/Dominarch")
                << name;
        }
    }
    if (row.setup == Setup::kGameFolderInA) {
        EXPECT_EQ(platform_test::ReadFile(kept), "saved game");
    }
    platform::FolderLister lister;
    ASSERT_TRUE(lister.Open(outside.path()));
    platform::FolderEntry entry;
    int entries = 0;
    while (lister.Next(&entry)) {
        entries += entry.name != "." && entry.name != "..";
    }
    EXPECT_EQ(entries, 0) << "something was made through the link";
}

INSTANTIATE_TEST_SUITE_P(Rows, FolderChoiceTest, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

TEST(FolderChoice, WithoutAnyoneToAskNothingIsChosen) {
    std::string path = "/nowhere";
    bool created = true;
    EXPECT_FALSE(install::ChooseInstallFolder(
        &path, nullptr,
        [](const std::string&, uint64_t*) {
            ADD_FAILURE() << "the free space was asked";
            return false;
        },
        &created));
    EXPECT_FALSE(created);
}

}  // namespace

namespace {

// A failed copy undoes only what the installation made: a folder it created goes again with what
// the copy put there (and, when the copy never started, the empty folder); a folder it was asked
// to install over keeps every file.
TEST(CopyRollback, RemovesOnlyAFolderTheInstallationCreated) {
    for (const bool created : {true, false}) {
        SCOPED_TRACE(created ? "created" : "installed over");
        TestFolder root;
        const std::string game = platform::JoinPath(root.path(), "Dominarch");
        ASSERT_EQ(platform::CreateFolder(game), platform::FsError::kOk);
        const std::string copied = platform::JoinPath(game, "Dominarch.exe");
        ASSERT_TRUE(platform_test::WriteFile(copied, "copied"));
        const ExtractionRollback rollback = install::RollbackOfFailedCopy(game, created);
        ASSERT_EQ(static_cast<bool>(rollback), created);
        if (rollback) {
            rollback(nullptr, nullptr);
        }
        EXPECT_EQ(platform::QueryPathKind(copied),
                  created ? platform::PathKind::kMissing : platform::PathKind::kFile);

        const std::string unstarted = platform::JoinPath(root.path(), "Unstarted");
        ASSERT_EQ(platform::CreateFolder(unstarted), platform::FsError::kOk);
        install::UndoUnstartedCopy(unstarted, created);
        EXPECT_EQ(platform::QueryPathKind(unstarted),
                  created ? platform::PathKind::kMissing : platform::PathKind::kFolder);
    }
}

}  // namespace
