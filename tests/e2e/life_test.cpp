// The whole life of an installation under wine, in one walk: a first install with a desktop
// shortcut, Play, a reinstall that repairs what was damaged, an uninstall from the menu, a second
// install without the desktop shortcut and with a saved game, the uninstall that the Start-menu
// shortcut starts (keeping the saved game), a third install over the kept folder, and the
// uninstall that the uninstall entry's own command starts (deleting everything), with a program
// planted at C:\Program.exe that an unquoted command would start in its place, and another at
// C:\Temp.exe that an unquoted start of the temporary copy in "C:\Temp Dom" would. After each step
// the registry, the files and the shortcuts are read back: the shortcuts through the shell's link
// object here, and once more by an independent reader (lnkinfo) in the run script, which checks
// the copies this walk leaves among the artifacts against the fields it writes beside them.

#include <fstream>

#include "tests/e2e/driver/shortcut_reader.h"
#include "tests/e2e/install_session.h"

namespace e2e {
namespace {

constexpr char kCompanyKey[] = "Software\\Tessaline";
constexpr char kProductKeyPath[] = "Software\\Tessaline\\Dominarch";
constexpr char kOtherProductKey[] = "Software\\Tessaline\\Other Game";
constexpr char kGameRecord[] = "DominarchStarted.txt";
constexpr char kSavedGame[] = "C:\\Program Files\\Dominarch\\save\\game1.sav";
constexpr char kUninstallString[] = "\"C:\\Program Files\\Dominarch\\Setup.exe\" /uninstall";
// What the system would start for an unquoted "C:\Program Files\..." command line.
constexpr char kPlanted[] = "C:\\Program.exe";
// A temp folder with a blank, and what the system would start for an unquoted command line of
// the temporary copy in it.
constexpr char kSpacedTemp[] = "C:\\Temp Dom";
constexpr char kPlantedForTemp[] = "C:\\Temp.exe";

// Points TMP and TEMP at `folder` for the programs started while it lives.
class TempFolderOfChildren {
  public:
    explicit TempFolderOfChildren(const std::string& folder) {
        for (int i = 0; i < 2; ++i) {
            char value[MAX_PATH + 1] = "";
            const DWORD length = GetEnvironmentVariableA(kNames[i], value, sizeof value);
            had_[i] = length > 0 && length < sizeof value;
            saved_[i] = value;
            SetEnvironmentVariableA(kNames[i], folder.c_str());
        }
    }
    ~TempFolderOfChildren() {
        for (int i = 0; i < 2; ++i) {
            SetEnvironmentVariableA(kNames[i], had_[i] ? saved_[i].c_str() : nullptr);
        }
    }

  private:
    static constexpr const char* kNames[2] = {"TMP", "TEMP"};
    bool had_[2] = {};
    std::string saved_[2];
};

struct ExpectedShortcut {
    const char* target;
    const char* arguments;
    const char* working_folder;
    const char* description;
    const char* icon;
};

constexpr ExpectedShortcut kGameShortcut = {"C:\\Program Files\\Dominarch\\Dominarch.exe", "",
                                            "C:\\Program Files\\Dominarch", "Dominarch",
                                            "C:\\Program Files\\Dominarch\\data\\Dominarch.ico"};
constexpr ExpectedShortcut kUninstallShortcut = {"C:\\Program Files\\Dominarch\\Setup.exe",
                                                 "/uninstall", "", "Uninstall", ""};

class LifeTest : public InstallSessionTest {
  protected:
    void SetUp() override {
        InstallSessionTest::SetUp();
        DeleteFileIfPresent(temp_ + kGameRecord);
        DeleteFileIfPresent(temp_ + kCopyName);
    }

    void TearDown() override {
        InstallSessionTest::TearDown();
        DeleteFileIfPresent(temp_ + kGameRecord);
        DeleteFileIfPresent(temp_ + kCopyName);
        // The system lets go of a program's file a moment after the program has gone.
        for (const char* planted : {kPlanted, kPlantedForTemp}) {
            EXPECT_TRUE(WaitUntil([&] { return DeleteFileIfPresent(planted); }, kDefaultTimeoutMs))
                << "cannot remove " << planted;
        }
    }

    std::string GroupShortcut(const char* name) const {
        return programs_ + "\\Dominarch\\" + name + ".lnk";
    }
    std::string DesktopShortcut() const { return desktop_ + "\\Dominarch.lnk"; }

    // The shortcut holds exactly the expected fields; a copy of it and the fields go to the
    // artifacts as `label`.lnk and `label`.lnk.expected for the run script's second reading.
    void ExpectShortcut(const std::string& path, const ExpectedShortcut& expected,
                        const char* label) {
        SCOPED_TRACE(path);
        ShortcutRead read;
        ASSERT_TRUE(ReadShortcut(path, &read)) << "not a shortcut";
        EXPECT_EQ(read.target, expected.target);
        EXPECT_EQ(read.arguments, expected.arguments);
        EXPECT_EQ(read.working_folder, expected.working_folder);
        EXPECT_EQ(read.description, expected.description);
        EXPECT_EQ(read.icon, expected.icon);
        EXPECT_EQ(read.icon_index, 0);
        if (Options().artifacts_folder.empty()) {
            return;
        }
        const std::string copy = Options().artifacts_folder + "\\" + label + ".lnk";
        EXPECT_TRUE(CopyFileA(path.c_str(), copy.c_str(), FALSE));
        std::ofstream fields(copy + ".expected", std::ios::binary | std::ios::trunc);
        fields << "target=" << expected.target << "\n"
               << "arguments=" << expected.arguments << "\n"
               << "working_folder=" << expected.working_folder << "\n"
               << "description=" << expected.description << "\n"
               << "icon=" << expected.icon << "\n";
    }

    void ExpectRegistered() {
        std::vector<StoredValue> values;
        ASSERT_TRUE(ListMachineValues(kInstallKey, &values)) << "no INSTALL key";
        ASSERT_EQ(values.size(), 2u) << Describe(values);
        for (const StoredValue& value : values) {
            EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << value.name;
            EXPECT_TRUE(value.name == "Path" ? IsStoredText(value.data, kProposed)
                                             : IsStoredText(value.data, "English"))
                << Describe(values);
        }
        values.clear();
        ASSERT_TRUE(ListMachineValues(kUninstallEntryKey, &values)) << "no uninstall entry";
        ASSERT_EQ(values.size(), 2u) << Describe(values);
        for (const StoredValue& value : values) {
            EXPECT_TRUE(value.name == "DisplayName" ? IsStoredText(value.data, "Dominarch")
                                                    : IsStoredText(value.data, kUninstallString))
                << Describe(values);
        }
        ExpectShortcut(GroupShortcut("Dominarch"), kGameShortcut, "start_menu_game");
        ExpectShortcut(GroupShortcut("Uninstall"), kUninstallShortcut, "start_menu_uninstall");
    }

    // Nothing of the registration is left: keys, entry, shortcuts and their group.
    void ExpectUnregistered(bool other_product) {
        EXPECT_FALSE(MachineKeyExists(kProductKeyPath));
        EXPECT_EQ(MachineKeyExists(kCompanyKey), other_product);
        EXPECT_EQ(MachineKeyExists(kOtherProductKey), other_product);
        EXPECT_FALSE(MachineKeyExists(kUninstallEntryKey));
        EXPECT_FALSE(Exists(programs_ + "\\Dominarch"));
        EXPECT_FALSE(Exists(DesktopShortcut()));
    }

    // A first install into the proposed folder, the desktop question answered with `desktop`.
    void FirstInstall(int desktop, bool folder_exists = false) {
        StartAndInstall();
        HWND browser = WaitForBrowser("C:\\Program Files");
        ASSERT_NE(browser, nullptr);
        Press(browser, kOk);
        if (folder_exists) {
            HWND question = WaitForOverwrite();
            ASSERT_NE(question, nullptr);
            Press(question, kOk);
        }
        AnswerDesktopQuestion(desktop, desktop == kOk ? "desktop_question.bmp" : nullptr);
        ExpectInstalled(false);
    }
};

TEST_F(LifeTest, InstallPlayReinstallUninstallTwiceOver) {
    SCOPED_TRACE("1. first install, with a desktop shortcut");
    ASSERT_NO_FATAL_FAILURE(FirstInstall(kOk));
    ExpectPayloadIn(kProposed);
    ASSERT_NO_FATAL_FAILURE(ExpectRegistered());
    ExpectShortcut(DesktopShortcut(), kGameShortcut, "desktop_game");

    SCOPED_TRACE("2. Play starts the installed game in its folder");
    ASSERT_NO_FATAL_FAILURE(ClickItem(kPlayItem));
    ASSERT_TRUE(setup_->WaitForExit(kDefaultTimeoutMs)) << "Play did not end it";
    TestProcess* game = WaitForChild("Dominarch.exe");
    ASSERT_NE(game, nullptr) << "no game was started";
    std::string record;
    // The game writes its record after it has created the file: wait for the whole first line.
    ASSERT_TRUE(WaitUntil(
        [&] {
            return ReadWholeFile(temp_ + kGameRecord, &record) &&
                   record.find("\r\n") != std::string::npos;
        },
        kDefaultTimeoutMs));
    EXPECT_EQ(record.substr(0, record.find("\r\n")), kProposed);
    game->Terminate();
    // The system lets go of a program's file a moment after the program has gone; the reinstall
    // must be able to replace it.
    const std::string game_file = std::string(kProposed) + "\\Dominarch.exe";
    EXPECT_TRUE(WaitUntil(
        [&] {
            HANDLE file = CreateFileA(game_file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            return file != INVALID_HANDLE_VALUE && CloseHandle(file);
        },
        kDefaultTimeoutMs))
        << game_file << " stays in use after the game ended";

    SCOPED_TRACE("3. a reinstall writes everything but the desktop shortcut again");
    std::string desktop_link;
    ASSERT_TRUE(ReadWholeFile(DesktopShortcut(), &desktop_link));
    ASSERT_TRUE(WriteWholeFile(std::string(kProposed) + "\\tovk.cfg", "damaged"));
    ASSERT_TRUE(DeleteFileIfPresent(GroupShortcut("Dominarch")));
    ASSERT_TRUE(WriteWholeFile(GroupShortcut("Uninstall"), "damaged"));
    ASSERT_TRUE(CreateMachineKey(kUninstallEntryKey, {{"UninstallString", "damaged"}}));
    ASSERT_NO_FATAL_FAILURE(StartAndInstall());
    const std::vector<std::string> titles = WaitForReinstall(kProposed);
    EXPECT_TRUE(titles.empty()) << "shown: " << titles.front();
    ExpectMenu(menu_, kInstalledMenu, kInstallItem);
    ASSERT_NO_FATAL_FAILURE(ExpectRegistered());
    std::string desktop_after;
    ASSERT_TRUE(ReadWholeFile(DesktopShortcut(), &desktop_after));
    EXPECT_TRUE(desktop_after == desktop_link) << "the desktop shortcut was rewritten";

    SCOPED_TRACE("4. uninstall from the menu, no saved games: no question, nothing left");
    ASSERT_NO_FATAL_FAILURE(ClickItem(kUninstallItem));
    HWND confirmation = WaitForQuestion("Uninstall?", kCancel, "NO!");
    ASSERT_NE(confirmation, nullptr);
    Press(confirmation, kOk);
    EXPECT_TRUE(WaitUntil([] { return !Exists(kProposed); }, kCopyTimeoutMs));
    WaitForMenuReleased();
    ExpectUnregistered(false);
    ExpectMenu(menu_, kNotInstalledMenu);  // the clicked item is disabled now
    ASSERT_TRUE(PressEscape(menu_));
    ASSERT_TRUE(setup_->WaitForExit(kDefaultTimeoutMs));

    SCOPED_TRACE("5. install without the desktop shortcut; the Start menu's uninstall keeps saves");
    ASSERT_NO_FATAL_FAILURE(FirstInstall(kCancel));
    EXPECT_FALSE(Exists(DesktopShortcut()));
    ASSERT_TRUE(WriteWholeFile(kSavedGame, "a saved game"));
    ASSERT_TRUE(PressEscape(menu_));
    ASSERT_TRUE(setup_->WaitForExit(kDefaultTimeoutMs));
    ShortcutRead uninstall;
    ASSERT_TRUE(ReadShortcut(GroupShortcut("Uninstall"), &uninstall));
    TestProcess* first = StartCommand("\"" + uninstall.target + "\" " + uninstall.arguments);
    ASSERT_NE(first, nullptr);
    ASSERT_NO_FATAL_FAILURE(UninstallThroughTheCopy(first, true, false));
    TreeEntries left;
    ASSERT_TRUE(ReadTree(kProposed, &left));
    EXPECT_EQ(left, (TreeEntries{{"save", kFolderEntry}, {"save\\game1.sav", "a saved game"}}));
    ExpectUnregistered(false);

    SCOPED_TRACE("6. install over the kept folder; the uninstall entry's command deletes all");
    ASSERT_NO_FATAL_FAILURE(FirstInstall(kCancel, true));
    std::string saved;
    EXPECT_TRUE(ReadWholeFile(kSavedGame, &saved));
    EXPECT_EQ(saved, "a saved game");
    ASSERT_TRUE(CreateMachineKey(kOtherProductKey, {{"Path", "C:\\Other"}}));
    ASSERT_TRUE(PressEscape(menu_));
    ASSERT_TRUE(setup_->WaitForExit(kDefaultTimeoutMs));
    const std::string command = UninstallCommand();
    ASSERT_EQ(command, kUninstallString);
    // The stand-in game notes its start in its temp folder: started in the place of Setup.exe or
    // of its temporary copy, it would leave its record there.
    for (const char* planted : {kPlanted, kPlantedForTemp}) {
        ASSERT_TRUE(CopyFileA(Options().game_path.c_str(), planted, FALSE));
    }
    ASSERT_NO_FATAL_FAILURE(RemoveAfterwards(kSpacedTemp));
    ASSERT_TRUE(CreateFolders(kSpacedTemp));
    {
        TempFolderOfChildren spaced(std::string(kSpacedTemp) + "\\");
        first = StartCommand(command);  // exactly as written, as the system's uninstall list does
    }
    ASSERT_NE(first, nullptr);
    ASSERT_NO_FATAL_FAILURE(UninstallThroughTheCopy(first, true, true));
    EXPECT_TRUE(FileExists(std::string(kSpacedTemp) + "\\" + kCopyName))
        << "the copy went elsewhere";
    EXPECT_FALSE(FileExists(std::string(kSpacedTemp) + "\\" + kGameRecord))
        << "a planted program ran";
    EXPECT_FALSE(Exists(kProposed));
    ExpectUnregistered(true);
    DeleteMachineKey(kCompanyKey);
}

}  // namespace
}  // namespace e2e
