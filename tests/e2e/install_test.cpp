// The install sequence of Setup.exe, end to end: from the click on "Install" through the shell's
// folder browser, the disk space warning, the creation of the game's folder and its questions, to
// a copied tree, with the real SHBrowseForFolderA, the real file system and real input. The small
// drives of the disk-space tests are file systems the run script mounts into the prefix: wine
// reports the free space of the file system that holds the folder asked about.

#include "tests/e2e/install_session.h"

namespace e2e {
namespace {

class InstallTest : public InstallSessionTest {};

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

// A Setup.exe the publisher signed after stamping installs as the unsigned one does.
TEST_F(InstallTest, SignedSetupInstalls) {
    ASSERT_FALSE(Options().signed_setup_path.empty()) << "pass --signed-setup=<signed Setup.exe>";
    StartAndInstall(Options().signed_setup_path);
    HWND browser = WaitForBrowser("C:\\Program Files");
    ASSERT_NE(browser, nullptr);
    Press(browser, kOk);
    ExpectInstalled();
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
        GTEST_SKIP() << "the run script mounted no small drives";
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
    ASSERT_TRUE(CreateMachineKey(kUninstallEntryKey, {{"UninstallString", "stale"}}));
    StartAndInstall();
    const std::vector<std::string> titles = WaitForReinstall(folder);
    EXPECT_TRUE(titles.empty()) << "shown: " << titles.front();
    ExpectPayloadIn(folder);
}

// A reinstall that cannot copy says why, names what failed, and leaves the game registered and
// its files as they were: from the installed Setup.exe, which carries no game files, before it
// touches anything; and while another program holds one of the game's files open.
TEST_F(InstallTest, ReinstallThatCannotCopySaysWhy) {
    StartAndInstall();
    HWND browser = WaitForBrowser("C:\\Program Files");
    ASSERT_NE(browser, nullptr);
    Press(browser, kOk);
    ExpectInstalled();
    ASSERT_TRUE(PressEscape(menu_));
    ASSERT_TRUE(setup_->WaitForExit(kDefaultTimeoutMs));
    const std::string registered = UninstallCommand();
    TreeEntries installed;
    ASSERT_TRUE(ReadTree(kProposed, &installed));

    StartAndInstall(std::string(kProposed) + "\\Setup.exe");
    HWND message = WaitForInstallError();
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(ControlText(DialogItem(message, kMessageText)),
              "This copy of Setup.exe holds no game files.\n\nTo install the game, run the "
              "original Setup.exe, the one the game came with.");
    Press(message, kOk);
    WaitForMenuReleased();
    ExpectMenu(menu_, kInstalledMenu, kInstallItem);
    ASSERT_TRUE(PressEscape(menu_));
    ASSERT_TRUE(setup_->WaitForExit(kDefaultTimeoutMs));
    TreeEntries seen;
    ASSERT_TRUE(ReadTree(kProposed, &seen));
    EXPECT_EQ(TreeDifferences(installed, seen), "") << "the payload-free Setup.exe changed it";

    const std::string held = std::string(kProposed) + "\\Dominarch.exe";
    HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    StartAndInstall();
    message = WaitForInstallError();
    const std::string words =
        message != nullptr ? ControlText(DialogItem(message, kMessageText)) : "";
    if (message != nullptr) {
        SaveDocsPicture(message, "install_error.bmp");
        Press(message, kOk);
    }
    WaitForMenuReleased();
    CloseHandle(file);
    EXPECT_NE(words.find("\n" + held + "\n"), std::string::npos) << words;
    // The system's own words for the refusal, as it gives them to any program.
    char system_words[256] = {};
    ASSERT_NE(
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       ERROR_SHARING_VIOLATION, 0, system_words, sizeof system_words, nullptr),
        0u);
    const std::string expected = std::string(system_words).substr(0, 12);  // "Sharing viol"
    EXPECT_NE(words.find("Cannot create the file: " + expected), std::string::npos) << words;
    EXPECT_EQ(RegisteredPath(), kProposed);
    EXPECT_EQ(UninstallCommand(), registered);
    ExpectMenu(menu_, kInstalledMenu, kInstallItem);
}

TEST_F(InstallTest, TooLittleSpaceWarns) {
    if (!NeedsSmallDrives()) {
        GTEST_SKIP() << "the run script mounted no small drives";
    }
    // Half of the 300 MiB drive taken: 150 MiB free, less than an installation needs.
    std::string filler;
    HWND warning = InstallOntoFilledDrive(kSpaceDrive, 150 * kMiB, &filler);
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(ControlText(DialogItem(warning, kRequiredFigure)), "195 312KB");
    EXPECT_EQ(ControlText(DialogItem(warning, kAvailableFigure)), "153 600KB");
    SaveDocsPicture(warning, "disk_space.bmp");
    // Enter is "Choose Another Drive": a browser on the folder picked, whose cancel tests the
    // folder again instead of asking to leave.
    PressKeyIn(warning, VK_RETURN);
    HWND browser = WaitForBrowser(kSpaceDrive);
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

// The 8 MiB drive, filled so that about half the payload fits: the warning comes first, then the
// copy fills the drive.
class DiskFullTest : public InstallSessionTest {
  protected:
    // `existing`: files the game's folder holds before the copy, which then goes over them.
    void FillUntilDiskFull(const TreeEntries& existing = {}) {
        uint64_t payload_bytes = 0;
        for (const auto& [name, content] : payload_) {
            payload_bytes += content.size();
        }
        ASSERT_LT(payload_bytes, 6 * kMiB) << "the 8 MiB drive cannot take this payload";
        const uint64_t taken = (8 * kMiB - payload_bytes / 2) & ~uint64_t{4095};
        HWND warning = InstallOntoFilledDrive(kTinyDrive, taken, &filler_);
        ASSERT_NE(warning, nullptr);
        if (!existing.empty()) {
            ASSERT_NO_FATAL_FAILURE(MakeTree(GameFolderIn(kTinyDrive), existing));
        }
        Press(warning, kContinueInstall);
        if (!existing.empty()) {
            HWND overwrite = WaitForOverwrite();
            ASSERT_NE(overwrite, nullptr);
            Press(overwrite, kOk);
        }
        full_ = WaitForDiskFull();
        ASSERT_NE(full_, nullptr);
        EXPECT_NE(Indicator(), nullptr);
    }

    std::string filler_;
    HWND full_ = nullptr;
};

TEST_F(DiskFullTest, RetryAfterFreeingSpaceCompletesTheCopy) {
    if (!NeedsSmallDrives()) {
        GTEST_SKIP() << "the run script mounted no small drives";
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
        GTEST_SKIP() << "the run script mounted no small drives";
    }
    FillUntilDiskFull();
    ASSERT_NE(full_, nullptr);
    Press(full_, kCancel);
    EXPECT_TRUE(WaitUntil([&] { return !Exists(GameFolderIn(kTinyDrive)); }, kCopyTimeoutMs))
        << "the first install was not rolled back";
    ExpectMenuUsableAndNotInstalled();
}

// A failed first installation over a folder that was there ("Overwrite") removes nothing of it
// and asks nothing about saved games: only what an installation created itself goes again.
TEST_F(DiskFullTest, ExitFromSetupOverAnExistingFolderKeepsItsFiles) {
    if (!NeedsSmallDrives()) {
        GTEST_SKIP() << "the run script mounted no small drives";
    }
    const TreeEntries existing = {{"notes.txt", "the player's notes"},
                                  {"save", kFolderEntry},
                                  {"save\\game1.sav", "a saved game"}};
    FillUntilDiskFull(existing);
    ASSERT_NE(full_, nullptr);
    Press(full_, kCancel);
    std::string asked;
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (HWND window : VisibleTopLevelWindows(setup_->Id())) {
                if (window != menu_) {
                    asked = WindowTitle(window);
                }
            }
            return !asked.empty() ||
                   (IsWindowEnabled(Item(kInstallItem).window) && Indicator() == nullptr);
        },
        kCopyTimeoutMs));
    EXPECT_EQ(asked, "") << "asked after \"Exit from Setup\"";
    TreeEntries seen;
    ASSERT_TRUE(ReadTree(GameFolderIn(kTinyDrive), &seen));
    for (const auto& [name, content] : existing) {
        EXPECT_EQ(seen[name], content) << name;
    }
    EXPECT_EQ(RegisteredPath(), "");
    EXPECT_FALSE(MachineKeyExists(kUninstallEntryKey));
    ExpectMenuUsableAndNotInstalled();
}

// An installer whose payload is damaged says so, and a first installation leaves nothing.
TEST_F(InstallTest, DamagedPayloadIsNeverInstalled) {
    StartAndInstall(Options().own_folder + "\\SetupDamaged.exe");
    HWND browser = WaitForBrowser("C:\\Program Files");
    ASSERT_NE(browser, nullptr);
    Press(browser, kOk);
    HWND damaged = WaitForQuestion(kErrorTitle, kOk, "OK");
    ASSERT_NE(damaged, nullptr);
    EXPECT_EQ(
        ControlText(FindWindowExA(damaged, nullptr, "Static", nullptr)),
        "The game data inside this installer is damaged.\n\nPlease get a new copy of Setup.exe.");
    Press(damaged, kOk);
    WaitForMenuReleased();
    EXPECT_FALSE(Exists(kProposed)) << "the damaged copy was not rolled back";
    EXPECT_FALSE(MachineKeyExists(kUninstallEntryKey)) << "a damaged copy was registered";
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
    ASSERT_NO_FATAL_FAILURE(ClickItem(kUninstallItem));
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
class StoppedCopyTest : public InstallSessionTest {
  protected:
    void StartLongCopyAndClickTheIndicator() {
        const std::string folder = Options().own_folder;
        ASSERT_NO_FATAL_FAILURE(ReadPayload(folder + "\\long_payload"));
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

namespace e2e {
namespace {

// Escape ends the program at any moment, but never abandons a copy or a removal: the long copy
// is stopped and undone as a failed one is, a removal runs to its end, and only then does the
// program end, by itself and with exit code 0.
class EscapeTest : public InstallSessionTest {
  protected:
    std::string LongSetup() const { return Options().own_folder + "\\SetupLongCopy.exe"; }

    // Starts the long copy's first installation into the folder the browser proposes.
    void StartLongFirstInstall() {
        StartAndInstall(LongSetup());
        HWND browser = WaitForBrowser("C:\\Program Files");
        ASSERT_NE(browser, nullptr);
        Press(browser, kOk);
    }

    // Waits until the copy into `folder` has begun, then presses Escape on the menu screen.
    void EscapeDuringTheCopyInto(const std::string& folder) {
        ASSERT_TRUE(
            WaitUntil([&] { return Exists(folder + "\\data\\part00\\big.bin"); }, kCopyTimeoutMs))
            << "the copy did not begin";
        ASSERT_NE(Indicator(), nullptr);
        ASSERT_TRUE(PressEscape(menu_));
    }

    void ExpectEndedByItself() {
        DWORD exit_code = 1;
        ASSERT_TRUE(setup_->WaitForExit(kCopyTimeoutMs, &exit_code)) << "it did not end";
        EXPECT_EQ(exit_code, 0u);
    }
};

TEST_F(EscapeTest, DuringAFirstInstallTheCopyIsRolledBack) {
    ASSERT_NO_FATAL_FAILURE(StartLongFirstInstall());
    EscapeDuringTheCopyInto(kProposed);
    ExpectEndedByItself();
    EXPECT_FALSE(Exists(kProposed)) << "the stopped first install was left behind";
    EXPECT_EQ(RegisteredPath(), "");
    EXPECT_FALSE(MachineKeyExists(kUninstallEntryKey));
}

// A first installation over a folder that was there ("Overwrite") is stopped the same way, and
// the folder keeps every file it held: nobody is asked about its saved games.
TEST_F(EscapeTest, DuringAFirstInstallOverAFolderThatWasThereItKeepsItsFiles) {
    const TreeEntries existing = {{"notes.txt", "the player's notes"},
                                  {"save", kFolderEntry},
                                  {"save\\game1.sav", "a saved game"}};
    ASSERT_NO_FATAL_FAILURE(MakeTree(kProposed, existing));
    ASSERT_NO_FATAL_FAILURE(StartLongFirstInstall());
    HWND overwrite = WaitForOverwrite();
    ASSERT_NE(overwrite, nullptr);
    Press(overwrite, kOk);
    EscapeDuringTheCopyInto(kProposed);
    ExpectEndedByItself();
    TreeEntries seen;
    ASSERT_TRUE(ReadTree(kProposed, &seen));
    for (const auto& [name, content] : existing) {
        EXPECT_EQ(seen[name], content) << name;
    }
    EXPECT_EQ(RegisteredPath(), "");
    EXPECT_FALSE(MachineKeyExists(kUninstallEntryKey));
}

// The copy's last file stays as it was: the reinstall stopped at once and was not undone.
TEST_F(EscapeTest, DuringAReinstallTheCopyStopsAndTheGameStaysRegistered) {
    const std::string folder = std::string(kGamesFolder) + "\\Registered";
    const std::string last_file = "data\\part39\\big.bin";
    ASSERT_NO_FATAL_FAILURE(MakeTree(folder, {{"notes.txt", "the player's notes"},
                                              {"data", kFolderEntry},
                                              {"data\\part39", kFolderEntry},
                                              {last_file, "as it was"}}));
    ASSERT_TRUE(CreateMachineKey(kInstallKey, {{"Path", folder}}));
    StartAndInstall(LongSetup());
    EscapeDuringTheCopyInto(folder);
    ExpectEndedByItself();
    EXPECT_EQ(RegisteredPath(), folder);
    EXPECT_TRUE(Exists(folder + "\\notes.txt"));
    std::string last;
    EXPECT_TRUE(ReadWholeFile(folder + "\\" + last_file, &last));
    EXPECT_EQ(last, "as it was") << "the copy went on to its end";
}

// A close that reaches the menu screen while the folder is chosen waits for the choice, then
// stops the copy at once: the folder the choice made goes again and nothing is registered.
TEST_F(EscapeTest, ACloseWhileTheFolderIsChosenStopsTheCopyAtOnce) {
    StartAndInstall(LongSetup());
    HWND browser = WaitForBrowser("C:\\Program Files");
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(PostMessageA(menu_, WM_CLOSE, 0, 0));
    Sleep(kQuietMs);
    ASSERT_TRUE(IsWindow(browser)) << "the close took the folder browser away";
    Press(browser, kOk);
    ExpectEndedByItself();
    EXPECT_FALSE(Exists(kProposed)) << "the copy was not undone";
    EXPECT_EQ(RegisteredPath(), "");
    EXPECT_FALSE(MachineKeyExists(kUninstallEntryKey));
}

// A close under the uninstall confirmation waits for the answer: after "YES " the removal runs
// to its end under the menu screen, which still owns the saved-games question, and only then
// does the program end.
TEST_F(EscapeTest, ACloseUnderTheUninstallConfirmationWaitsForTheRemoval) {
    const std::string folder = GameFolderIn(kGamesFolder);
    ASSERT_NO_FATAL_FAILURE(MakeTree(folder, {{"Dominarch.exe", "the game"},
                                              {"save", kFolderEntry},
                                              {"save\\game1.sav", "a saved game"}}));
    ASSERT_TRUE(CreateMachineKey(kInstallKey, {{"Path", folder}}));
    menu_ = StartMenuScreen();
    ASSERT_NE(menu_, nullptr);
    ASSERT_NO_FATAL_FAILURE(ClickItem(kUninstallItem));
    HWND confirmation = WaitForQuestion("Uninstall?", kCancel, "NO!");
    ASSERT_NE(confirmation, nullptr);
    ASSERT_TRUE(PostMessageA(menu_, WM_CLOSE, 0, 0));
    Sleep(kQuietMs);
    ASSERT_TRUE(IsWindow(menu_)) << "the menu screen ended under its question";
    Press(confirmation, kOk);
    HWND saves = WaitForQuestion("Uninstalling...", kCancel, "NO Way");
    ASSERT_NE(saves, nullptr);
    EXPECT_EQ(GetWindow(saves, GW_OWNER), menu_);
    Press(saves, kCancel);
    ExpectEndedByItself();
    TreeEntries left;
    ASSERT_TRUE(ReadTree(folder, &left));
    EXPECT_EQ(left, (TreeEntries{{"save", kFolderEntry}, {"save\\game1.sav", "a saved game"}}));
    EXPECT_EQ(RegisteredPath(), "");
}

TEST_F(EscapeTest, RightAfterYesTheUninstallRunsToItsEnd) {
    ASSERT_NO_FATAL_FAILURE(StartLongFirstInstall());
    ExpectInstalled();
    ASSERT_NO_FATAL_FAILURE(ClickItem(kUninstallItem));
    HWND confirmation = WaitForQuestion("Uninstall?", kCancel, "NO!");
    ASSERT_NE(confirmation, nullptr);
    Press(confirmation, kOk);
    ASSERT_TRUE(PressEscape(menu_));
    ExpectEndedByItself();
    EXPECT_FALSE(Exists(kProposed)) << "the uninstall was abandoned";
    EXPECT_EQ(RegisteredPath(), "");
    EXPECT_FALSE(MachineKeyExists(kUninstallEntryKey));
    EXPECT_FALSE(Exists(programs_ + "\\Dominarch"));
}

}  // namespace
}  // namespace e2e
