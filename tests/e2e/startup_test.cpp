// Start-up and run modes of Setup.exe, end to end: each test starts Setup.exe afresh in the wine
// prefix, works its windows as a user would and checks the processes, the temp folder and the
// registry. Whatever a test started is ended by process id when it finishes, the temporary copy
// is removed and the uninstall entry key is put back as it was.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/driver/dialog_input.h"
#include "tests/e2e/driver/file_helpers.h"
#include "tests/e2e/driver/process_list.h"
#include "tests/e2e/driver/process_params.h"
#include "tests/e2e/driver/registry_keys.h"
#include "tests/e2e/driver/screenshot.h"
#include "tests/e2e/driver/test_process.h"
#include "tests/e2e/driver/timeouts.h"
#include "tests/e2e/driver/windows_of_process.h"
#include "tests/e2e/e2e_options.h"

namespace e2e {
namespace {

constexpr char kMenuTitle[] = "Dominarch Installer";
constexpr char kConfirmTitle[] = "Uninstall?";
constexpr char kUninstallEntryKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dominarch";
constexpr char kCopyName[] = "x.exe";
constexpr char kBlankFolder[] = "C:\\Program Files\\Dom Test";
constexpr int kYesButton = 1;
constexpr int kNoButton = 2;
constexpr LONG kMenuWidth = 640;
constexpr LONG kMenuHeight = 480;

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// For failure messages: the titles of the windows a process shows now.
std::string ShownWindows(DWORD pid) {
    std::string titles;
    for (HWND window : VisibleTopLevelWindows(pid)) {
        titles += (titles.empty() ? "\"" : ", \"") + WindowTitle(window) + "\"";
    }
    return titles.empty() ? "no window" : titles;
}

class StartupTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(Options().setup_path.empty()) << "pass the path of Setup.exe";
        ASSERT_TRUE(FileExists(Options().setup_path)) << Options().setup_path;
        temp_ = TempFolder();
        ASSERT_FALSE(temp_.empty());
        copy_path_ = temp_ + kCopyName;
        ASSERT_TRUE(DeleteFileIfPresent(copy_path_));
        entry_existed_ = MachineKeyExists(kUninstallEntryKey);
    }

    void TearDown() override {
        EndAllStarted();
        DeleteFileIfPresent(copy_path_);
        if (entry_existed_ && !MachineKeyExists(kUninstallEntryKey)) {
            CreateMachineKey(kUninstallEntryKey);
        } else if (!entry_existed_) {
            DeleteMachineKey(kUninstallEntryKey);
        }
        DeleteFileIfPresent(std::string(kBlankFolder) + "\\Setup.exe");
        RemoveEmptyFolders(kBlankFolder, "C:\\");
    }

    // Starts `program` with `arguments` after a blank; the program path is quoted when it holds
    // blanks. The process is ended when the test finishes.
    TestProcess* Start(const std::string& program, const std::string& arguments) {
        const std::string path = program.find(' ') == std::string::npos ? program : Quoted(program);
        return StartWithCommandLine("", arguments.empty() ? path : path + " " + arguments);
    }

    TestProcess* StartSetup(const std::string& arguments = "") {
        return Start(Options().setup_path, arguments);
    }

    // `application` empty: the command line names the program, as a shell starts it.
    TestProcess* StartWithCommandLine(const std::string& application,
                                      const std::string& command_line) {
        auto process = std::make_unique<TestProcess>();
        if (!process->Start(application, command_line, "")) {
            ADD_FAILURE() << "cannot start: " << command_line;
            return nullptr;
        }
        started_.push_back(std::move(process));
        return started_.back().get();
    }

    HWND WaitForMenuScreen(const TestProcess& process) {
        return WaitForWindow(process.Id(), kMenuTitle, kDefaultTimeoutMs, process.Handle());
    }

    HWND WaitForConfirmation(const TestProcess& process) {
        HWND dialog =
            WaitForWindow(process.Id(), kConfirmTitle, kDefaultTimeoutMs, process.Handle());
        if (dialog) {
            EXPECT_EQ(ControlText(DialogItem(dialog, kYesButton)), "YES ");
            EXPECT_EQ(ControlText(DialogItem(dialog, kNoButton)), "NO!");
        }
        return dialog;
    }

    // Escape on the menu screen ends the program with exit code 0.
    void ExpectEscapeEnds(const TestProcess& process, HWND menu_screen) {
        ASSERT_TRUE(PressEscape(menu_screen));
        DWORD exit_code = 1;
        ASSERT_TRUE(process.WaitForExit(kDefaultTimeoutMs, &exit_code))
            << "Escape did not end the menu screen";
        EXPECT_EQ(exit_code, 0u);
    }

    // The temporary copy that process `parent` started, taken under the test's care; nullptr
    // when none appears in time.
    TestProcess* FindCopyStartedBy(DWORD parent) {
        const DWORD start = GetTickCount();
        do {
            for (const ProcessEntry& entry : FindProcessesByImageName(kCopyName)) {
                auto process = std::make_unique<TestProcess>();
                if (entry.parent_id == parent && process->Attach(entry.id)) {
                    started_.push_back(std::move(process));
                    return started_.back().get();
                }
            }
            Sleep(kPollIntervalMs);
        } while (GetTickCount() - start < kDefaultTimeoutMs);
        return nullptr;
    }

    // Every process started here, and every copy they started, is ended.
    void EndAllStarted() {
        for (const auto& process : started_) {
            for (const ProcessEntry& entry : FindProcessesByImageName(kCopyName)) {
                if (entry.parent_id == process->Id()) {
                    TerminateProcessById(entry.id);
                }
            }
        }
        started_.clear();  // each terminates its process if it still runs
    }

    // Confirms "/uninstall" in a process started by the test and checks the whole hand-over:
    // the first process ends with 0; the temp folder holds an exact copy of `program`; the
    // uninstall entry is gone; the copy runs with the expected command line and folder and
    // shows its own menu screen.
    void ExpectConfirmedHandOver(TestProcess* first, const std::string& program) {
        ASSERT_NE(first, nullptr);
        HWND confirm = WaitForConfirmation(*first);
        ASSERT_NE(confirm, nullptr)
            << "no confirmation dialog; shown: " << ShownWindows(first->Id());
        ASSERT_TRUE(ClickButton(DialogItem(confirm, kYesButton)));

        DWORD exit_code = 1;
        ASSERT_TRUE(first->WaitForExit(kDefaultTimeoutMs, &exit_code));
        EXPECT_EQ(exit_code, 0u);

        std::string original;
        std::string copy;
        ASSERT_TRUE(ReadWholeFile(program, &original));
        ASSERT_TRUE(ReadWholeFile(copy_path_, &copy)) << "no " << copy_path_;
        EXPECT_TRUE(copy == original) << "the temporary copy differs from the program";
        EXPECT_FALSE(MachineKeyExists(kUninstallEntryKey));

        TestProcess* started_copy = FindCopyStartedBy(first->Id());
        ASSERT_NE(started_copy, nullptr) << "no x.exe was started";
        ProcessParams params;
        ASSERT_TRUE(ReadProcessParams(started_copy->Handle(), &params));
        EXPECT_EQ(params.command_line, copy_path_ + " /uninstalling");
        EXPECT_TRUE(SameFolder(params.current_folder, temp_))
            << params.current_folder << " is not " << temp_;
        EXPECT_NE(WaitForMenuScreen(*started_copy), nullptr)
            << "the copy shows no menu screen (did it take the first process for another "
               "instance?)";
    }

    // Sets the scene a confirmed uninstall acts on: an uninstall entry, and a stale copy that
    // must be overwritten.
    void PrepareUninstallScene() {
        ASSERT_TRUE(CreateMachineKey(
            kUninstallEntryKey,
            {{"DisplayName", "Dominarch"}, {"UninstallString", "Setup.exe /uninstall"}}));
        ASSERT_TRUE(WriteWholeFile(copy_path_, "stale copy from an earlier uninstall"));
    }

    // Setup.exe copied into a folder whose path holds blanks.
    std::string CopySetupToBlankFolder() {
        const std::string path = std::string(kBlankFolder) + "\\Setup.exe";
        EXPECT_TRUE(CreateFolders(kBlankFolder));
        EXPECT_TRUE(CopyFileA(Options().setup_path.c_str(), path.c_str(), FALSE));
        return path;
    }

    std::string temp_;
    std::string copy_path_;
    bool entry_existed_ = false;
    std::vector<std::unique_ptr<TestProcess>> started_;
};

TEST_F(StartupTest, NoArgumentsOpensTheMenuScreenAndEscapeEndsIt) {
    TestProcess* setup = StartSetup();
    ASSERT_NE(setup, nullptr);
    HWND menu = WaitForMenuScreen(*setup);
    ASSERT_NE(menu, nullptr) << "no menu screen";
    RECT rect = {};
    GetWindowRect(menu, &rect);
    EXPECT_EQ(rect.right - rect.left, kMenuWidth);
    EXPECT_EQ(rect.bottom - rect.top, kMenuHeight);
    EXPECT_EQ(GetWindowLongA(menu, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0)
        << "the menu screen has a border or a caption";

    if (!Options().screenshot_path.empty()) {
        SetForegroundWindow(menu);
        Sleep(500);  // let it paint
        EXPECT_TRUE(CaptureWindowToBmp(menu, Options().screenshot_path));
    }
    ExpectEscapeEnds(*setup, menu);
}

// A second start while one runs, whatever the first one shows, ends at once, silently, with 0.
TEST_F(StartupTest, SecondStartEndsAtOnceWithoutAWindow) {
    struct FirstStart {
        const char* arguments;
        const char* showing;
    };
    const FirstStart cases[] = {{"", kMenuTitle}, {"/uninstall", kConfirmTitle}};
    for (const FirstStart& first_start : cases) {
        SCOPED_TRACE(std::string("first started with \"") + first_start.arguments + "\"");
        TestProcess* first = StartSetup(first_start.arguments);
        ASSERT_NE(first, nullptr);
        HWND shown =
            WaitForWindow(first->Id(), first_start.showing, kDefaultTimeoutMs, first->Handle());
        ASSERT_NE(shown, nullptr);

        TestProcess* second = StartSetup();
        ASSERT_NE(second, nullptr);
        std::vector<std::string> titles;
        ASSERT_TRUE(
            WatchWindowsUntilExit(second->Handle(), second->Id(), kDefaultTimeoutMs, &titles))
            << "the second start did not end";
        EXPECT_TRUE(titles.empty()) << "the second start showed \"" << titles.front() << "\"";
        DWORD exit_code = 1;
        ASSERT_TRUE(second->WaitForExit(0, &exit_code));
        EXPECT_EQ(exit_code, 0u);

        EXPECT_TRUE(first->IsRunning());
        EXPECT_TRUE(IsWindow(shown) && IsWindowVisible(shown));
        EndAllStarted();
    }
}

struct DeclineAction {
    const char* label;
    bool (*act)(HWND confirm);
};

class DeclinedUninstallTest : public StartupTest,
                              public testing::WithParamInterface<DeclineAction> {};

// Declining the confirmation opens the ordinary menu screen and changes nothing.
TEST_P(DeclinedUninstallTest, OpensTheOrdinaryMenuScreen) {
    PrepareUninstallScene();
    ASSERT_TRUE(DeleteFileIfPresent(copy_path_));  // no copy may be made here
    TestProcess* setup = StartSetup("/uninstall");
    ASSERT_NE(setup, nullptr);
    HWND confirm = WaitForConfirmation(*setup);
    ASSERT_NE(confirm, nullptr) << "no confirmation dialog";
    ASSERT_TRUE(GetParam().act(confirm));

    HWND menu = WaitForMenuScreen(*setup);
    ASSERT_NE(menu, nullptr) << "no menu screen after declining; shown: "
                             << ShownWindows(setup->Id());
    EXPECT_FALSE(FileExists(copy_path_));
    EXPECT_TRUE(MachineKeyExists(kUninstallEntryKey));
    EXPECT_TRUE(FindProcessesByImageName(kCopyName).empty());
    ExpectEscapeEnds(*setup, menu);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DeclinedUninstallTest,
    testing::Values(
        DeclineAction{"NoButton", [](HWND d) { return ClickButton(DialogItem(d, kNoButton)); }},
        DeclineAction{"Escape", [](HWND d) { return PressEscape(d); }},
        DeclineAction{"EnterOnTheDefaultNoButton", [](HWND d) { return PressEnter(d); }}),
    [](const testing::TestParamInfo<DeclineAction>& info) { return info.param.label; });

TEST_F(StartupTest, ConfirmedUninstallHandsOverToATemporaryCopy) {
    PrepareUninstallScene();
    ExpectConfirmedHandOver(StartSetup("/uninstall"), Options().setup_path);
}

TEST_F(StartupTest, ConfirmedUninstallFromAQuotedPathWithBlanks) {
    const std::string program = CopySetupToBlankFolder();
    PrepareUninstallScene();
    ExpectConfirmedHandOver(StartWithCommandLine("", Quoted(program) + " /uninstall"), program);
}

// Windows passes an unquoted command line on as it is when the program is named separately
// (wine would otherwise quote a path with blanks that it had to search for).
TEST_F(StartupTest, ConfirmedUninstallFromAnUnquotedPathWithBlanks) {
    const std::string program = CopySetupToBlankFolder();
    PrepareUninstallScene();
    ExpectConfirmedHandOver(StartWithCommandLine(program, program + " /uninstall"), program);
}

// Arguments that are not exactly "/uninstall" open the ordinary menu screen, with no question.
TEST_F(StartupTest, NearMissesOfUninstallOpenTheMenuScreen) {
    const char* const near_misses[] = {"/Uninstall", "/UNINSTALL", "/uninstall x", "/uninstall ",
                                       "uninstall"};
    PrepareUninstallScene();
    ASSERT_TRUE(DeleteFileIfPresent(copy_path_));
    for (const char* arguments : near_misses) {
        SCOPED_TRACE(std::string("arguments \"") + arguments + "\"");
        TestProcess* setup = StartSetup(arguments);
        ASSERT_NE(setup, nullptr);
        // Had the question come first, it would stand modal before the menu screen.
        HWND menu = WaitForMenuScreen(*setup);
        ASSERT_NE(menu, nullptr) << "no menu screen";
        for (HWND window : VisibleTopLevelWindows(setup->Id())) {
            EXPECT_NE(WindowTitle(window), kConfirmTitle);
        }
        EXPECT_TRUE(MachineKeyExists(kUninstallEntryKey));
        EXPECT_FALSE(FileExists(copy_path_));
        ExpectEscapeEnds(*setup, menu);
    }
}

}  // namespace
}  // namespace e2e
