#pragma once

// What the suites that install with Setup.exe share: the windows of the install sequence as a
// user meets them (the shell's folder browser, the questions, the progress indicator), how the
// menu screen looks once a copy has ended, and what an installed folder must hold. Every question
// is checked to be owned by the menu screen and centred on it. What a test installs (the game's
// folders, the shortcuts) is removed afterwards.

#include <windows.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/driver/dialog_input.h"
#include "tests/e2e/driver/file_helpers.h"
#include "tests/e2e/driver/mouse_input.h"
#include "tests/e2e/driver/process_list.h"
#include "tests/e2e/driver/registry_keys.h"
#include "tests/e2e/driver/remote_tree_view.h"
#include "tests/e2e/driver/screenshot.h"
#include "tests/e2e/driver/timeouts.h"
#include "tests/e2e/driver/windows_of_process.h"
#include "tests/e2e/e2e_options.h"
#include "tests/e2e/menu_session.h"

namespace e2e {

constexpr char kBrowserTitle[] = "Browse for Folder";
constexpr int kBrowserTree = 0x3741;    // the picker's tree view
constexpr int kBrowserStatus = 0x3743;  // its status line
constexpr char kExitTitle[] = "Exit from intsall...";
constexpr char kWarningTitle[] = "Install Warning";  // disk space (156) and overwrite (160)
constexpr char kErrorTitle[] = "Install ERROR";      // creation error (158) and disk full (161)
constexpr char kPlatformTitle[] = "Installation ERROR";
constexpr char kIndicatorTitle[] = "Progress Indicator Window";
constexpr char kCopyName[] = "x.exe";  // the temporary copy that uninstalls
constexpr char kProposed[] = "C:\\Program Files\\Dominarch";
constexpr char kGamesFolder[] = "C:\\Dom Games";
// File systems of their own, mounted by the run script: 300 MiB, 8 MiB, and read-only.
constexpr char kSpaceDrive[] = "C:\\Dom Space";
constexpr char kTinyDrive[] = "C:\\Dom Tiny";
constexpr char kReadOnlyDrive[] = "C:\\Dom ReadOnly";
constexpr uint64_t kMiB = 1024 * 1024;

constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kRetrySpace = 1002;
constexpr int kAnotherDrive = 1003;
constexpr int kContinueInstall = 1004;
constexpr int kRequiredFigure = 1007;
constexpr int kAvailableFigure = 1008;
constexpr int kMessageText = 1011;  // the install error message's words

// A copy of the sample payload takes well under a second; this is for slow machines.
constexpr DWORD kCopyTimeoutMs = 60000;
// How long to watch for something that must not happen.
constexpr DWORD kQuietMs = 700;

inline std::string GameFolderIn(const std::string& folder) {
    return folder + "\\Dominarch";
}

// The status line for a highlighted folder.
inline std::string StatusFor(const std::string& folder) {
    return GameFolderIn(folder) + "\\";
}

// Differences between two trees, a line each; empty when they are the same.
inline std::string TreeDifferences(const TreeEntries& expected, const TreeEntries& seen) {
    std::ostringstream text;
    for (const auto& [name, content] : expected) {
        const auto found = seen.find(name);
        if (found == seen.end()) {
            text << "\n  missing: " << name;
        } else if (found->second != content) {
            text << "\n  differs: " << name << " (" << found->second.size() << " bytes, expected "
                 << content.size() << ")";
        }
    }
    for (const auto& [name, content] : seen) {
        if (expected.count(name) == 0) {
            text << "\n  extra: " << name;
        }
    }
    return text.str();
}

// What an installed folder holds: the payload, with the configuration file registration writes
// and the saved-games folder it makes.
inline TreeEntries AsRegistered(TreeEntries payload) {
    payload["tovk.cfg"] = "[vmachine]\ndirectx=yes\n";
    payload["save"] = kFolderEntry;
    return payload;
}

class InstallSessionTest : public MenuSessionTest {
  protected:
    void SetUp() override {
        MenuSessionTest::SetUp();
        ASSERT_FALSE(Options().payload_folder.empty()) << "pass --payload=<the game folder>";
        if (ReadsPayload()) {
            ASSERT_NO_FATAL_FAILURE(ReadPayload(Options().payload_folder));
            ASSERT_FALSE(payload_.empty());
        }
        for (const char* folder : {kProposed, kGamesFolder}) {
            RemoveAfterwards(folder);
        }
        programs_ = UserShellFolder("Programs");
        desktop_ = UserShellFolder("Desktop");
        ASSERT_FALSE(programs_.empty() || desktop_.empty()) << "no shell folders in the prefix";
        RemoveAfterwards(programs_ + "\\Dominarch");
        RemoveAfterwards(desktop_ + "\\Dominarch.lnk");
    }

    // Whether SetUp reads the whole payload into payload_ (a test of a payload too large to hold
    // in memory compares it file by file instead).
    virtual bool ReadsPayload() const { return true; }

    void TearDown() override {
        for (auto& process : others_) {
            process->Terminate();
        }
        MenuSessionTest::TearDown();  // ends Setup.exe first: nothing holds a file any more
        for (const std::string& folder : remove_) {
            RemoveTree(folder);
        }
    }

    // What an installer stamped from game folder `folder` installs: the folder's tree, with the
    // payload-free installer as its top-level Setup.exe (in place of one the folder holds).
    void ReadPayload(const std::string& folder) {
        ASSERT_TRUE(ReadTree(folder, &payload_)) << folder;
        ASSERT_FALSE(Options().stub_path.empty()) << "pass --stub=<SetupBare.exe>";
        for (auto it = payload_.begin(); it != payload_.end();) {
            it = lstrcmpiA(it->first.c_str(), "Setup.exe") == 0 ? payload_.erase(it) : ++it;
        }
        ASSERT_TRUE(ReadWholeFile(Options().stub_path, &payload_["Setup.exe"]));
    }

    void RemoveAfterwards(const std::string& folder) {
        ASSERT_TRUE(RemoveTree(folder)) << "cannot clear " << folder;
        remove_.push_back(folder);
    }

    static bool NeedsSmallDrives() { return Options().small_drives; }

    // Makes `entries` (files by their bytes, kFolderEntry for folders) below `folder`.
    static void MakeTree(const std::string& folder, const TreeEntries& entries) {
        ASSERT_TRUE(CreateFolders(folder)) << folder;
        for (const auto& [name, content] : entries) {
            const std::string path = folder + "\\" + name;
            ASSERT_TRUE(content == kFolderEntry ? CreateFolders(path)
                                                : WriteWholeFile(path, content))
                << path;
        }
    }

    // Starts Setup.exe (or `program`) and clicks "Install" (or "Reinstall").
    void StartAndInstall(const std::string& program = "") {
        menu_ = StartMenuScreen(program);
        ASSERT_NE(menu_, nullptr);
        ClickItem(kInstallItem);
    }

    // A real click on item `id`, once nothing of another window lies over it (a window of a
    // program that has just ended can stay on the screen for a moment).
    void ClickItem(int id) {
        const POINT centre = ItemCentreOnScreen(menu_, Item(id));
        EXPECT_TRUE(WaitUntil(
            [&] {
                SetForegroundWindow(menu_);
                return GetAncestor(WindowFromPoint(centre), GA_ROOT) == menu_;
            },
            kDefaultTimeoutMs))
            << "another window lies over the menu screen";
        ASSERT_TRUE(ClickAt(centre));
    }

    // Waits for a question of Setup.exe titled `title` whose control `id` reads `text`, and
    // checks that the menu screen owns it and that it stands centred over the menu screen.
    HWND WaitForQuestion(const char* title, int id, const std::string& text) {
        return WaitForQuestionOf(*setup_, menu_, title, id, text);
    }

    // The same for the question of another process, owned by `owner` (its menu screen).
    HWND WaitForQuestionOf(const TestProcess& process, HWND owner, const char* title, int id,
                           const std::string& text) {
        HWND dialog = nullptr;
        const bool found = WaitUntil(
            [&] {
                dialog = nullptr;
                for (HWND window : VisibleTopLevelWindows(process.Id())) {
                    if (WindowTitle(window) == title &&
                        ControlText(DialogItem(window, id)) == text) {
                        dialog = window;
                    }
                }
                return dialog != nullptr || !process.IsRunning();
            },
            kCopyTimeoutMs);
        if (!found || dialog == nullptr) {
            ADD_FAILURE() << "no \"" << title << "\" with \"" << text << "\"";
            return nullptr;
        }
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner) << title << " is not owned by the menu";
        EXPECT_FALSE(IsWindowEnabled(owner)) << "the menu screen takes input under " << title;
        RECT window = {};
        RECT menu = {};
        GetWindowRect(dialog, &window);
        GetWindowRect(owner, &menu);
        EXPECT_NEAR(window.left + window.right, menu.left + menu.right, 2) << title;
        EXPECT_NEAR(window.top + window.bottom, menu.top + menu.bottom, 2) << title;
        return dialog;
    }

    HWND WaitForBrowser(const std::string& opened_on) {
        HWND browser = WaitForQuestion(kBrowserTitle, kOk, "OK");
        if (browser != nullptr) {
            EXPECT_TRUE(WaitUntil([&] { return StatusLine(browser) == StatusFor(opened_on); },
                                  kDefaultTimeoutMs))
                << "the status line reads \"" << StatusLine(browser) << "\"";
        }
        return browser;
    }
    HWND WaitForExitQuestion() { return WaitForQuestion(kExitTitle, kOk, "OK Exit"); }
    HWND WaitForDiskSpace() { return WaitForQuestion(kWarningTitle, kRetrySpace, "Retry"); }
    HWND WaitForOverwrite() { return WaitForQuestion(kWarningTitle, kOk, "Overwrite"); }
    HWND WaitForCreationError() {
        return WaitForQuestion(kErrorTitle, kCancel, "Exit from Installation");
    }
    HWND WaitForDiskFull() { return WaitForQuestion(kErrorTitle, kCancel, "Exit from Setup"); }
    // The install error message (one "OK"); its words are the text of kMessageText.
    HWND WaitForInstallError() { return WaitForQuestion(kErrorTitle, kOk, "OK"); }

    // The text of value `name` of `key`, without a stored NUL; "" when there is none.
    static std::string MachineText(const char* key, const char* name) {
        std::vector<StoredValue> values;
        if (ListMachineValues(key, &values)) {
            for (const StoredValue& value : values) {
                if (value.name == name) {
                    return std::string(value.data.c_str());
                }
            }
        }
        return "";
    }
    // The "Path" the game's key holds.
    static std::string RegisteredPath() { return MachineText(kInstallKey, "Path"); }

    static std::string StatusLine(HWND browser) {
        return ControlText(DialogItem(browser, kBrowserStatus));
    }

    // Highlights `folder` in the browser's tree, as a click on it would.
    void Pick(HWND browser, const std::string& folder) {
        RemoteTreeView tree(DialogItem(browser, kBrowserTree));
        ASSERT_TRUE(tree.Valid());
        HTREEITEM item = tree.FindFolder(folder);
        ASSERT_NE(item, nullptr) << folder << " is not in the browser's tree";
        ASSERT_TRUE(tree.Select(item));
        EXPECT_TRUE(
            WaitUntil([&] { return StatusLine(browser) == StatusFor(folder); }, kDefaultTimeoutMs))
            << "the status line reads \"" << StatusLine(browser) << "\"";
    }

    // Fills `drive` with a file of `taken` bytes (`filler`, removed afterwards like the game's
    // folder there), then starts an installation onto it: the disk space warning it meets.
    HWND InstallOntoFilledDrive(const std::string& drive, uint64_t taken, std::string* filler) {
        *filler = drive + "\\filler.bin";
        made_files_.push_back(*filler);
        RemoveAfterwards(GameFolderIn(drive));
        if (!WriteFileOfSize(*filler, taken)) {
            ADD_FAILURE() << "cannot fill " << drive;
            return nullptr;
        }
        StartAndInstall();
        HWND browser = WaitForBrowser("C:\\Program Files");
        if (browser == nullptr) {
            return nullptr;
        }
        Pick(browser, drive);
        Press(browser, kOk);
        return WaitForDiskSpace();
    }

    // Presses button `id` of `dialog` and waits until the dialog is gone.
    void Press(HWND dialog, int id) {
        ASSERT_TRUE(ClickButton(DialogItem(dialog, id)));
        ASSERT_TRUE(WaitForWindowGone(dialog, kDefaultTimeoutMs));
    }
    void PressKeyIn(HWND dialog, UINT key) {
        ASSERT_TRUE(PressKey(dialog, key));
        ASSERT_TRUE(WaitForWindowGone(dialog, kDefaultTimeoutMs));
    }

    HWND Indicator() const { return FindWindowExA(menu_, nullptr, nullptr, kIndicatorTitle); }

    // The menu screen has released its items: the copy (or the attempt) is over.
    void WaitForMenuReleased(DWORD timeout_ms = kCopyTimeoutMs) {
        ASSERT_TRUE(WaitUntil(
            [&] {
                return IsWindowEnabled(Item(kInstallItem).window) && IsWindowEnabled(menu_) &&
                       Indicator() == nullptr;
            },
            timeout_ms))
            << "the menu screen stays locked";
    }

    // The desktop question that ends a first installation, answered with `button`; its picture
    // is kept as `picture` when given.
    void AnswerDesktopQuestion(int button, const char* picture = nullptr) {
        HWND question = WaitForQuestion("Installer", kCancel, "NO Way!");
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(ControlText(DialogItem(question, kOk)), "OK");
        if (picture != nullptr) {
            SaveDocsPicture(question, picture);
        }
        Press(question, button);
    }

    // The copy has ended and registered: the item reads "Reinstall" (still pressed from the
    // click: the mouse has not moved since), Play and Uninstall work. A first installation asks
    // about a desktop shortcut first: no, unless `desktop_answer` says otherwise.
    void ExpectInstalled(bool first_install = true, int desktop_answer = kCancel) {
        if (first_install) {
            AnswerDesktopQuestion(desktop_answer);
        }
        WaitForMenuReleased();
        ExpectMenu(menu_, kInstalledMenu, kInstallItem);
    }

    // Waits until a reinstall into `folder` has ended: the registration names the folder's
    // Setup.exe again and the menu screen has released its items; then the folder must hold the
    // registered payload. The caller makes the uninstall entry name something else first. The
    // folder is read only once the copy is over: a file the driver holds open makes the copy's
    // CreateFile fail (the copy opens without sharing), which ends the copy. The titles of the
    // windows other than the menu screen that showed meanwhile are returned.
    std::vector<std::string> WaitForReinstall(const std::string& folder) {
        std::vector<std::string> titles;
        const std::string command = "\"" + folder + "\\Setup.exe\" /uninstall";
        const bool ended = WaitUntil(
            [&] {
                for (HWND window : VisibleTopLevelWindows(setup_->Id())) {
                    if (window != menu_) {
                        titles.push_back(WindowTitle(window));
                    }
                }
                return UninstallCommand() == command && Indicator() == nullptr &&
                       IsWindowEnabled(Item(kInstallItem).window);
            },
            kCopyTimeoutMs);
        TreeEntries seen;
        ReadTree(folder, &seen);
        const std::string differences = TreeDifferences(AsRegistered(payload_), seen);
        if (!ended || !differences.empty()) {
            ADD_FAILURE() << (ended ? "the reinstall left:" : "the reinstall did not end:")
                          << differences;
        }
        return titles;
    }

    // The uninstall entry's UninstallString.
    static std::string UninstallCommand() {
        return MachineText(kUninstallEntryKey, "UninstallString");
    }

    // The menu screen is back in service with nothing installed: it takes the next click.
    void ExpectMenuUsableAndNotInstalled() {
        WaitForMenuReleased(kDefaultTimeoutMs);
        ExpectMenu(menu_, kNotInstalledMenu, kInstallItem);
        ASSERT_NO_FATAL_FAILURE(ClickItem(kExitItem));
        DWORD exit_code = 1;
        EXPECT_TRUE(setup_->WaitForExit(kDefaultTimeoutMs, &exit_code)) << "Exit did not end it";
        EXPECT_EQ(exit_code, 0u);
    }

    void ExpectPayloadIn(const std::string& folder) {
        TreeEntries seen;
        EXPECT_TRUE(ReadTree(folder, &seen)) << "cannot read " << folder;
        const std::string differences = TreeDifferences(AsRegistered(payload_), seen);
        EXPECT_TRUE(differences.empty()) << folder << " is not the payload:" << differences;
    }

    static bool Exists(const std::string& path) {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // A click on item `id` while a question is open starts nothing: the question stays the only
    // new window and the program runs on.
    void ExpectClickIgnored(int id, HWND question) {
        const std::vector<HWND> before = VisibleTopLevelWindows(setup_->Id());
        ASSERT_TRUE(ClickAt(ItemCentreOnScreen(menu_, Item(id))));
        Sleep(kQuietMs);
        EXPECT_TRUE(setup_->IsRunning());
        EXPECT_TRUE(IsWindowVisible(question));
        EXPECT_EQ(VisibleTopLevelWindows(setup_->Id()).size(), before.size());
        ParkMouse();
    }

    void SaveDocsPicture(HWND window, const char* name) {
        if (!Options().artifacts_folder.empty()) {
            SetForegroundWindow(window);
            Sleep(300);  // painted after coming to the front
            EXPECT_TRUE(CaptureWindowToBmp(window, Options().artifacts_folder + "\\" + name));
        }
    }

    // Starts a command as a shell would (no application name) and takes it under care.
    TestProcess* StartCommand(const std::string& command_line) {
        auto process = std::make_unique<TestProcess>();
        if (!process->Start("", command_line, "")) {
            ADD_FAILURE() << "cannot start " << command_line;
            return nullptr;
        }
        others_.push_back(std::move(process));
        return others_.back().get();
    }

    // The uninstall handed over by `first`: "YES " there, then the temporary copy asks about the
    // saved games (when there are any) and says goodbye. `delete_saves` answers that question.
    void UninstallThroughTheCopy(TestProcess* first, bool saves, bool delete_saves) {
        HWND confirmation = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (HWND window : VisibleTopLevelWindows(first->Id())) {
                    if (WindowTitle(window) == "Uninstall?") {
                        confirmation = window;
                    }
                }
                return confirmation != nullptr;
            },
            kDefaultTimeoutMs))
            << "no confirmation";
        EXPECT_EQ(ControlText(DialogItem(confirmation, kOk)), "YES ");
        Press(confirmation, kOk);
        EXPECT_TRUE(first->WaitForExit(kDefaultTimeoutMs)) << "the first process stays";

        TestProcess* copy = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (const ProcessEntry& entry : FindProcessesByImageName(kCopyName)) {
                    auto process = std::make_unique<TestProcess>();
                    if (process->Attach(entry.id)) {
                        others_.push_back(std::move(process));
                        copy = others_.back().get();
                        return true;
                    }
                }
                return false;
            },
            kDefaultTimeoutMs))
            << "no temporary copy runs";
        HWND menu = WaitForWindow(copy->Id(), kMenuTitle, kDefaultTimeoutMs, copy->Handle());
        ASSERT_NE(menu, nullptr);
        if (saves) {
            HWND question = WaitForQuestionOf(*copy, menu, "Uninstalling...", kCancel, "NO Way");
            ASSERT_NE(question, nullptr);
            Press(question, delete_saves ? kOk : kCancel);
        }
        HWND bye = WaitForQuestionOf(*copy, menu, "Dialog", kOk, "BYE");
        ASSERT_NE(bye, nullptr);
        Press(bye, kOk);
        DWORD exit_code = 1;
        EXPECT_TRUE(copy->WaitForExit(kDefaultTimeoutMs, &exit_code)) << "the copy stays";
        EXPECT_EQ(exit_code, 0u);
    }

    HWND menu_ = nullptr;
    TreeEntries payload_;
    std::string programs_;  // the user's Start-menu programs folder
    std::string desktop_;
    std::vector<std::string> remove_;
    std::vector<std::unique_ptr<TestProcess>> others_;  // started by the test, not as Setup.exe
};

}  // namespace e2e
