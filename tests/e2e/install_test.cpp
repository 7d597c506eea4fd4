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
    ASSERT_TRUE(CreateMachineKey(kUninstallEntryKey, {{"UninstallString", "stale"}}));
    StartAndInstall();
    const std::vector<std::string> titles = WaitForReinstall(folder);
    EXPECT_TRUE(titles.empty()) << "shown: " << titles.front();
    ExpectPayloadIn(folder);
}

TEST_F(InstallTest, TooLittleSpaceWarns) {
    if (!NeedsSmallDrives()) {
        return;
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
    void FillUntilDiskFull() {
        uint64_t payload_bytes = 0;
        for (const auto& [name, content] : payload_) {
            payload_bytes += content.size();
        }
        ASSERT_LT(payload_bytes, 6 * kMiB) << "the 8 MiB drive cannot take this payload";
        const uint64_t taken = (8 * kMiB - payload_bytes / 2) & ~uint64_t{4095};
        HWND warning = InstallOntoFilledDrive(kTinyDrive, taken, &filler_);
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
