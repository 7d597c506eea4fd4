// The install sequence of Setup.exe, end to end: from the click on "Install" through the shell's
// folder browser, the disk space warning, the creation of the game's folder and its questions, to
// a copied tree, with the real SHBrowseForFolderA, the real file system and real input. The small
// drives of the disk-space tests are file systems the run script mounts into the prefix: wine
// reports the free space of the file system that holds the folder asked about.

#include <windows.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/driver/dialog_input.h"
#include "tests/e2e/driver/file_helpers.h"
#include "tests/e2e/driver/mouse_input.h"
#include "tests/e2e/driver/remote_tree_view.h"
#include "tests/e2e/driver/screenshot.h"
#include "tests/e2e/driver/timeouts.h"
#include "tests/e2e/driver/windows_of_process.h"
#include "tests/e2e/e2e_options.h"
#include "tests/e2e/menu_session.h"

namespace e2e {
namespace {

constexpr char kBrowserTitle[] = "Browse for Folder";
constexpr int kBrowserTree = 0x3741;    // the picker's tree view
constexpr int kBrowserStatus = 0x3743;  // its status line
constexpr char kExitTitle[] = "Exit from intsall...";
constexpr char kWarningTitle[] = "Install Warning";  // disk space (156) and overwrite (160)
constexpr char kErrorTitle[] = "Install ERROR";      // creation error (158) and disk full (161)
constexpr char kPlatformTitle[] = "Installation ERROR";
constexpr char kIndicatorTitle[] = "Progress Indicator Window";
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

// A copy of the sample payload takes well under a second; this is for slow machines.
constexpr DWORD kCopyTimeoutMs = 60000;
// How long to watch for something that must not happen.
constexpr DWORD kQuietMs = 700;

std::string GameFolderIn(const std::string& folder) {
    return folder + "\\Dominarch";
}

// The status line for a highlighted folder.
std::string StatusFor(const std::string& folder) {
    return GameFolderIn(folder) + "\\";
}

// Differences between two trees, a line each; empty when they are the same.
std::string TreeDifferences(const TreeEntries& expected, const TreeEntries& seen) {
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
TreeEntries AsRegistered(TreeEntries payload) {
    payload["tovk.cfg"] = "[vmachine]\ndirectx=yes\n";
    payload["save"] = kFolderEntry;
    return payload;
}

class InstallTest : public MenuSessionTest {
  protected:
    void SetUp() override {
        MenuSessionTest::SetUp();
        ASSERT_FALSE(Options().payload_folder.empty()) << "pass --payload=<the game folder>";
        ASSERT_TRUE(ReadTree(Options().payload_folder, &payload_)) << Options().payload_folder;
        ASSERT_FALSE(payload_.empty());
        for (const char* folder : {kProposed, kGamesFolder}) {
            RemoveAfterwards(folder);
        }
        programs_ = UserShellFolder("Programs");
        desktop_ = UserShellFolder("Desktop");
        ASSERT_FALSE(programs_.empty() || desktop_.empty()) << "no shell folders in the prefix";
        RemoveAfterwards(programs_ + "\\Dominarch");
        RemoveAfterwards(desktop_ + "\\Dominarch.lnk");
    }

    void TearDown() override {
        MenuSessionTest::TearDown();  // ends Setup.exe first: nothing holds a file any more
        for (const std::string& folder : remove_) {
            RemoveTree(folder);
        }
    }

    void RemoveAfterwards(const std::string& folder) {
        ASSERT_TRUE(RemoveTree(folder)) << "cannot clear " << folder;
        remove_.push_back(folder);
    }

    bool NeedsSmallDrives() {
        if (!Options().small_drives) {
            std::printf("skipped: the run script mounted no small drives\n");
        }
        return Options().small_drives;
    }

    // Starts Setup.exe (or `program`) and clicks "Install" (or "Reinstall").
    void StartAndInstall(const std::string& program = "") {
        menu_ = StartMenuScreen(program);
        ASSERT_NE(menu_, nullptr);
        ASSERT_TRUE(ClickAt(ItemCentreOnScreen(menu_, Item(kInstallItem))));
    }

    // Waits for a question of Setup.exe titled `title` whose control `id` reads `text`, and
    // checks that the menu screen owns it and that it stands centred over the menu screen.
    HWND WaitForQuestion(const char* title, int id, const std::string& text) {
        HWND dialog = nullptr;
        const bool found = WaitUntil(
            [&] {
                dialog = nullptr;
                for (HWND window : VisibleTopLevelWindows(setup_->Id())) {
                    if (WindowTitle(window) == title &&
                        ControlText(DialogItem(window, id)) == text) {
                        dialog = window;
                    }
                }
                return dialog != nullptr || !setup_->IsRunning();
            },
            kDefaultTimeoutMs);
        if (!found || dialog == nullptr) {
            ADD_FAILURE() << "no \"" << title << "\" with \"" << text << "\"";
            return nullptr;
        }
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), menu_) << title << " is not owned by the menu";
        EXPECT_FALSE(IsWindowEnabled(menu_)) << "the menu screen takes input under " << title;
        RECT window = {};
        RECT menu = {};
        GetWindowRect(dialog, &window);
        GetWindowRect(menu_, &menu);
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

    // The desktop question that ends a first installation, answered with `button`.
    void AnswerDesktopQuestion(int button) {
        HWND question = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (HWND window : VisibleTopLevelWindows(setup_->Id())) {
                    if (WindowTitle(window) == "Installer") {
                        question = window;
                    }
                }
                return question != nullptr;
            },
            kCopyTimeoutMs))
            << "no desktop question";
        question = WaitForQuestion("Installer", kCancel, "NO Way!");
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(ControlText(DialogItem(question, kOk)), "OK");
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

    // The menu screen is back in service with nothing installed: it takes the next click.
    void ExpectMenuUsableAndNotInstalled() {
        WaitForMenuReleased(kDefaultTimeoutMs);
        ExpectMenu(menu_, kNotInstalledMenu, kInstallItem);
        ASSERT_TRUE(ClickAt(ItemCentreOnScreen(menu_, Item(kExitItem))));
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

    HWND menu_ = nullptr;
    TreeEntries payload_;
    std::string programs_;  // the user's Start-menu programs folder
    std::string desktop_;
    std::vector<std::string> remove_;
};

TEST_F(InstallTest, FirstInstallIntoTheProposedFolder) {
    StartAndInstall();
    HWND browser = WaitForBrowser("C:\\Program Files");
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(ControlText(DialogItem(browser, 0x3742)),
              "Select a folder where the Dominarch will be installed");
    SaveDocsPicture(browser, "folder_browser.bmp");
    ExpectClickIgnored(kExitItem, browser);
    const DWORD start = GetTickCount();
    Press(browser, kOk);
    ExpectInstalled();
    std::printf("the copy took %lu ms\n", static_cast<unsigned long>(GetTickCount() - start));
    ExpectPayloadIn(kProposed);
}

TEST_F(InstallTest, FolderPickedInTheTree) {
    const std::string picked = std::string(kGamesFolder) + "\\Picked";
    ASSERT_TRUE(CreateFolders(picked));
    StartAndInstall();
    HWND browser = WaitForBrowser("C:\\Program Files");
    ASSERT_NE(browser, nullptr);
    Pick(browser, picked);
    Press(browser, kOk);
    ExpectInstalled();
    ExpectPayloadIn(GameFolderIn(picked));
    EXPECT_FALSE(Exists(kProposed));
}

TEST_F(InstallTest, CancelledBrowserAsksBeforeLeaving) {
    StartAndInstall();
    HWND browser = WaitForBrowser("C:\\Program Files");
    ASSERT_NE(browser, nullptr);
    Press(browser, kCancel);
    // "Continue" (Escape) opens a new browser on the folder highlighted last.
    HWND question = WaitForExitQuestion();
    ASSERT_NE(question, nullptr);
    PressKeyIn(question, VK_ESCAPE);
    browser = WaitForBrowser("C:\\Program Files");
    ASSERT_NE(browser, nullptr);
    Pick(browser, "C:\\windows");
    Press(browser, kCancel);
    question = WaitForExitQuestion();
    ASSERT_NE(question, nullptr);
    Press(question, kCancel);
    browser = WaitForBrowser("C:\\windows");
    ASSERT_NE(browser, nullptr);
    Press(browser, kCancel);
    // "OK Exit" leaves with nothing made.
    question = WaitForExitQuestion();
    ASSERT_NE(question, nullptr);
    Press(question, kOk);
    ExpectMenuUsableAndNotInstalled();
    EXPECT_FALSE(Exists(kProposed));
    EXPECT_FALSE(Exists("C:\\windows\\Dominarch"));
}

TEST_F(InstallTest, ExistingFolderIsOverwrittenOnlyWhenAsked) {
    const std::string saved = std::string(kProposed) + "\\save\\game1.sav";
    ASSERT_TRUE(CreateFolders(std::string(kProposed) + "\\save"));
    ASSERT_TRUE(WriteWholeFile(saved, "a saved game"));
    StartAndInstall();
    HWND browser = WaitForBrowser("C:\\Program Files");
    ASSERT_NE(browser, nullptr);
    Press(browser, kOk);
    // Escape means "Select Another Folder": a new browser on the same folder.
    HWND question = WaitForOverwrite();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(ControlText(DialogItem(question, kCancel)), "Select Another Folder");
    PressKeyIn(question, VK_ESCAPE);
    browser = WaitForBrowser("C:\\Program Files");
    ASSERT_NE(browser, nullptr);
    Press(browser, kOk);
    question = WaitForOverwrite();
    ASSERT_NE(question, nullptr);
    Press(question, kOk);
    ExpectInstalled();
    std::string game;
    EXPECT_TRUE(ReadWholeFile(saved, &game));
    EXPECT_EQ(game, "a saved game");
    ASSERT_TRUE(DeleteFileIfPresent(saved));
    ExpectPayloadIn(kProposed);
}

TEST_F(InstallTest, FolderThatCannotBeCreated) {
    if (!NeedsSmallDrives()) {
        return;
    }
    StartAndInstall();
    HWND browser = WaitForBrowser("C:\\Program Files");
    ASSERT_NE(browser, nullptr);
    Pick(browser, kReadOnlyDrive);
    Press(browser, kOk);
    HWND error = WaitForCreationError();
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(ControlText(DialogItem(error, kOk)), "Continue");
    // "Continue" goes back to the browser; Escape there leaves.
    Press(error, kOk);
    browser = WaitForBrowser(kReadOnlyDrive);
    ASSERT_NE(browser, nullptr);
    Press(browser, kOk);
    error = WaitForCreationError();
    ASSERT_NE(error, nullptr);
    PressKeyIn(error, VK_ESCAPE);
    ExpectMenuUsableAndNotInstalled();
}

TEST_F(InstallTest, NtFamilyIsRefused) {
    // Wine takes a program's Windows version from its own entry when it has one.
    const char* key = "Software\\Wine\\AppDefaults\\Setup.exe";
    HKEY app = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &app,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(app, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("winxp"), 6);
    RegCloseKey(app);
    StartAndInstall();
    HWND refusal = WaitForQuestion(kPlatformTitle, kOk, "OK");
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
    ASSERT_NE(refusal, nullptr);
    Press(refusal, kOk);
    ExpectMenuUsableAndNotInstalled();
    EXPECT_FALSE(Exists(kProposed));
}

TEST_F(InstallTest, ReinstallAsksNothing) {
    const std::string folder = std::string(kGamesFolder) + "\\Registered";
    ASSERT_TRUE(CreateFolders(folder));
    ASSERT_TRUE(WriteWholeFile(folder + "\\tovk.cfg", "stale"));
    ASSERT_TRUE(CreateMachineKey(kInstallKey, {{"Path", folder}}));
    StartAndInstall();
    // Nothing but the menu screen shows until the copy is done.
    std::vector<std::string> titles;
    TreeEntries seen;
    const DWORD start = GetTickCount();
    while (!(ReadTree(folder, &seen) && TreeDifferences(AsRegistered(payload_), seen).empty() &&
             Indicator() == nullptr && IsWindowEnabled(Item(kInstallItem).window))) {
        for (HWND window : VisibleTopLevelWindows(setup_->Id())) {
            if (window != menu_) {
                titles.push_back(WindowTitle(window));
            }
        }
        ASSERT_LT(GetTickCount() - start, kCopyTimeoutMs) << "the reinstall did not end";
        Sleep(kPollIntervalMs);
    }
    EXPECT_TRUE(titles.empty()) << "shown: " << titles.front();
    ExpectPayloadIn(folder);
}

TEST_F(InstallTest, TooLittleSpaceWarns) {
    if (!NeedsSmallDrives()) {
        return;
    }
    // Half of the 300 MiB drive taken: 150 MiB free, less than an installation needs.
    const std::string filler = std::string(kSpaceDrive) + "\\filler.bin";
    made_files_.push_back(filler);
    ASSERT_TRUE(WriteFileOfSize(filler, 150 * kMiB));
    RemoveAfterwards(GameFolderIn(kSpaceDrive));
    StartAndInstall();
    HWND browser = WaitForBrowser("C:\\Program Files");
    ASSERT_NE(browser, nullptr);
    Pick(browser, kSpaceDrive);
    Press(browser, kOk);
    HWND warning = WaitForDiskSpace();
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(ControlText(DialogItem(warning, kRequiredFigure)), "195 312KB");
    EXPECT_EQ(ControlText(DialogItem(warning, kAvailableFigure)), "153 600KB");
    SaveDocsPicture(warning, "disk_space.bmp");
    // Enter is "Choose Another Drive": a browser on the folder picked, whose cancel tests the
    // folder again instead of asking to leave.
    PressKeyIn(warning, VK_RETURN);
    browser = WaitForBrowser(kSpaceDrive);
    ASSERT_NE(browser, nullptr);
    Press(browser, kCancel);
    warning = WaitForDiskSpace();
    ASSERT_NE(warning, nullptr);
    // Space freed, "Retry" finds enough and the copy goes ahead.
    ASSERT_TRUE(DeleteFileIfPresent(filler));
    Press(warning, kRetrySpace);
    ExpectInstalled();
    ExpectPayloadIn(GameFolderIn(kSpaceDrive));
}

// The 8 MiB drive with 4 MiB taken: the warning comes first, then the copy fills the drive.
class DiskFullTest : public InstallTest {
  protected:
    void FillUntilDiskFull() {
        filler_ = std::string(kTinyDrive) + "\\filler.bin";
        made_files_.push_back(filler_);
        ASSERT_TRUE(WriteFileOfSize(filler_, 4 * kMiB));
        RemoveAfterwards(GameFolderIn(kTinyDrive));
        StartAndInstall();
        HWND browser = WaitForBrowser("C:\\Program Files");
        ASSERT_NE(browser, nullptr);
        Pick(browser, kTinyDrive);
        Press(browser, kOk);
        HWND warning = WaitForDiskSpace();
        ASSERT_NE(warning, nullptr);
        Press(warning, kContinueInstall);
        full_ = WaitForDiskFull();
        ASSERT_NE(full_, nullptr);
        EXPECT_NE(Indicator(), nullptr);
    }

    std::string filler_;
    HWND full_ = nullptr;
};

TEST_F(DiskFullTest, RetryAfterFreeingSpaceCompletesTheCopy) {
    if (!NeedsSmallDrives()) {
        return;
    }
    FillUntilDiskFull();
    ASSERT_NE(full_, nullptr);
    SaveDocsPicture(menu_, "progress_indicator.bmp");
    ASSERT_TRUE(DeleteFileIfPresent(filler_));
    Press(full_, kOk);
    ExpectInstalled();
    ExpectPayloadIn(GameFolderIn(kTinyDrive));
}

TEST_F(DiskFullTest, ExitFromSetupRollsTheFirstInstallBack) {
    if (!NeedsSmallDrives()) {
        return;
    }
    FillUntilDiskFull();
    ASSERT_NE(full_, nullptr);
    Press(full_, kCancel);
    EXPECT_TRUE(WaitUntil([&] { return !Exists(GameFolderIn(kTinyDrive)); }, kCopyTimeoutMs))
        << "the first install was not rolled back";
    ExpectMenuUsableAndNotInstalled();
}

// The uninstall confirmation is owned by the menu screen too: under it, the menu takes no click,
// so no second uninstall can be started.
TEST_F(InstallTest, UninstallConfirmationKeepsTheMenuOut) {
    const std::string folder = std::string(kGamesFolder) + "\\Registered";
    ASSERT_TRUE(CreateFolders(folder));
    ASSERT_TRUE(CreateMachineKey(kInstallKey, {{"Path", folder}}));
    menu_ = StartMenuScreen();
    ASSERT_NE(menu_, nullptr);
    ASSERT_TRUE(ClickAt(ItemCentreOnScreen(menu_, Item(kUninstallItem))));
    HWND confirmation = WaitForQuestion("Uninstall?", kCancel, "NO!");
    ASSERT_NE(confirmation, nullptr);
    ExpectClickIgnored(kExitItem, confirmation);
    PressKeyIn(confirmation, VK_ESCAPE);
    EXPECT_TRUE(Exists(folder)) << "declined, yet uninstalled";
    EXPECT_TRUE(IsWindowEnabled(menu_));
    ExpectMenu(menu_, kInstalledMenu, kUninstallItem);
}

// An installer that copies thousands of files, so that the copy can be stopped by hand: a click on
// the progress indicator asks whether to leave at the next file of several chunks.
class StoppedCopyTest : public InstallTest {
  protected:
    void StartLongCopyAndClickTheIndicator() {
        const std::string folder = Options().own_folder;
        ASSERT_TRUE(ReadTree(folder + "\\long_payload", &payload_));
        StartAndInstall(folder + "\\SetupLongCopy.exe");
        HWND browser = WaitForBrowser("C:\\Program Files");
        ASSERT_NE(browser, nullptr);
        Press(browser, kOk);
        ASSERT_TRUE(WaitUntil([&] { return Indicator() != nullptr; }, kDefaultTimeoutMs));

        RECT indicator = {};
        GetWindowRect(Indicator(), &indicator);
        ASSERT_TRUE(ClickAt(
            {(indicator.left + indicator.right) / 2, (indicator.top + indicator.bottom) / 2}));
        question_ = WaitForExitQuestion();
        ASSERT_NE(question_, nullptr) << "a click on the indicator did not stop the copy";
    }

    HWND question_ = nullptr;
};

TEST_F(StoppedCopyTest, OkExitRollsTheFirstInstallBack) {
    StartLongCopyAndClickTheIndicator();
    ASSERT_NE(question_, nullptr);
    EXPECT_TRUE(Exists(kProposed));
    Press(question_, kOk);
    WaitForMenuReleased();
    EXPECT_FALSE(Exists(kProposed)) << "the first install was not rolled back";
    ExpectMenuUsableAndNotInstalled();
}

TEST_F(StoppedCopyTest, ContinueFinishesTheCopy) {
    StartLongCopyAndClickTheIndicator();
    ASSERT_NE(question_, nullptr);
    PressKeyIn(question_, VK_ESCAPE);
    ExpectInstalled();
    ExpectPayloadIn(kProposed);
}

}  // namespace
}  // namespace e2e
