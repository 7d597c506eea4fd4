// The menu screen of Setup.exe, end to end: each test starts Setup.exe afresh with a chosen
// registry state, works the menu with the real mouse and keyboard, and checks what the items
// show, what runs, and what is left in the registry and the temp folder. What an item shows is
// told from a capture of the screen compared with the test's own rendering of the expected word
// in the expected look (Setup.exe's artwork, drawn by the same bitmap font). Everything a test
// started is ended by process id; the product key, the uninstall entry and the files a test made
// are removed afterwards.

#include <windows.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/driver/data_module.h"
#include "tests/e2e/driver/dialog_input.h"
#include "tests/e2e/driver/file_helpers.h"
#include "tests/e2e/driver/image.h"
#include "tests/e2e/driver/menu_items.h"
#include "tests/e2e/driver/menu_looks.h"
#include "tests/e2e/driver/mouse_input.h"
#include "tests/e2e/driver/process_list.h"
#include "tests/e2e/driver/process_params.h"
#include "tests/e2e/driver/registry_keys.h"
#include "tests/e2e/driver/test_process.h"
#include "tests/e2e/driver/timeouts.h"
#include "tests/e2e/driver/windows_of_process.h"
#include "tests/e2e/e2e_options.h"
#include "tests/e2e/menu_session.h"

namespace e2e {
namespace {

constexpr char kGameTitle[] = "Dominarch";
constexpr char kGameImage[] = "Dominarch.exe";
constexpr char kEditorImage[] = "notepad.exe";
constexpr char kGameRecord[] = "DominarchStarted.txt";
constexpr char kInstallFolder[] = "C:\\Games\\Dom Menu Test";
constexpr char kLanguageFolder[] = "C:\\Dom Language Test";
constexpr int kReadMeId = 132;

// A point of the background well away from every item, in client coordinates.
constexpr POINT kBackgroundPoint = {40, 440};

class MenuScreenTest : public MenuSessionTest {
  protected:
    void SetUp() override {
        MenuSessionTest::SetUp();
        ASSERT_TRUE(DeleteFileIfPresent(temp_ + kGameRecord));
    }

    void TearDown() override {
        MenuSessionTest::TearDown();
        DeleteFileIfPresent(temp_ + kGameRecord);
        RemoveEmptyFolders(kInstallFolder, "C:\\");
        RemoveEmptyFolders(kLanguageFolder, "C:\\");
    }
};

TEST_F(MenuScreenTest, ExpectedRenderingsTellTheLooksApart) {
    const RECT rect = {0, 0, 175, 22};
    for (int look = 0; look < kLookCount; ++look) {
        const Image image = Looks()->Render(rect, "Install", look);
        ASSERT_EQ(image.width, 175);
        ASSERT_EQ(image.height, 22);
        EXPECT_GT(CountDifferentPixels(image, Looks()->Render(rect, "", look)), 100u)
            << "no word drawn in the " << LookName(look) << " look";
        for (int other = look + 1; other < kLookCount; ++other) {
            EXPECT_GT(CountDifferentPixels(image, Looks()->Render(rect, "Install", other)), 50u)
                << LookName(look) << " and " << LookName(other) << " look alike";
        }
    }
}

// What another program can send while no game is installed changes nothing: the end messages
// of a copy and of a removal, Play and Uninstall (their items are disabled). No registration of
// the program's folder, no question, no removal, the same menu.
TEST_F(MenuScreenTest, FirstStartStoresEnglishOffersOnlyInstallAndIgnoresStrayMessages) {
    HWND menu = StartMenuScreen();
    ASSERT_NE(menu, nullptr);
    ExpectMenu(menu, kNotInstalledMenu);
    const struct {
        UINT message;
        WPARAM wparam;
    } strays[] = {{WM_USER + 1, 1}, {WM_USER + 2, 1}, {WM_USER + 3, 1001}, {WM_USER + 3, 1003}};
    for (const auto& stray : strays) {
        DWORD_PTR answer = 0;
        EXPECT_NE(SendMessageTimeoutA(menu, stray.message, stray.wparam, 0, SMTO_NORMAL,
                                      kDefaultTimeoutMs, &answer),
                  0)
            << "message " << stray.message << " (" << stray.wparam << ") was not answered";
    }
    ExpectMenu(menu, kNotInstalledMenu);

    std::vector<StoredValue> values;
    ASSERT_TRUE(ListMachineValues(kInstallKey, &values)) << "no INSTALL key";
    ASSERT_EQ(values.size(), 1u) << Describe(values);
    EXPECT_EQ(values[0].name, "Language");
    EXPECT_EQ(values[0].type, static_cast<DWORD>(REG_SZ));
    EXPECT_TRUE(IsStoredText(values[0].data, "English")) << Describe(values);
    ExpectEscapeEnds(menu);
}

TEST_F(MenuScreenTest, StoredPathMakesItInstalled) {
    ASSERT_TRUE(CreateMachineKey(kInstallKey, {{"Path", kInstallFolder}}));
    HWND menu = StartMenuScreen();
    ASSERT_NE(menu, nullptr);
    ExpectMenu(menu, kInstalledMenu);
    ExpectEscapeEnds(menu);
}

TEST_F(MenuScreenTest, HoverFollowsTheMouseFromItemToItem) {
    ASSERT_TRUE(CreateMachineKey(kInstallKey, {{"Path", kInstallFolder}}));
    HWND menu = StartMenuScreen();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(ShowsLook(menu, kPlayItem, "Play", kNormalLook));

    ASSERT_TRUE(MoveMouseTo(ItemCentreOnScreen(menu, Item(kPlayItem))));
    EXPECT_TRUE(ShowsLook(menu, kPlayItem, "Play", kHoverLook));
    // In one move straight onto the next item: the first hands its hover look over.
    ASSERT_TRUE(MoveMouseTo(ItemCentreOnScreen(menu, Item(kInstallItem))));
    EXPECT_TRUE(ShowsLook(menu, kInstallItem, "Reinstall", kHoverLook));
    EXPECT_TRUE(ShowsLook(menu, kPlayItem, "Play", kNormalLook));
    // A disabled item shows no hover, but still takes it from the others.
    ASSERT_TRUE(MoveMouseTo(ItemCentreOnScreen(menu, Item(kLanguageItem))));
    EXPECT_TRUE(ShowsLook(menu, kInstallItem, "Reinstall", kNormalLook));
    EXPECT_TRUE(ShowsLook(menu, kLanguageItem, "Language Selection", kDisabledLook));
    // Over the background, every item shows its own look again.
    ASSERT_TRUE(MoveMouseTo(ItemCentreOnScreen(menu, Item(kExitItem))));
    ASSERT_TRUE(ShowsLook(menu, kExitItem, "Exit", kHoverLook));
    ASSERT_TRUE(MoveMouseTo(OnScreen(menu, kBackgroundPoint)));
    EXPECT_TRUE(ShowsLook(menu, kExitItem, "Exit", kNormalLook));
    ExpectMenu(menu, kInstalledMenu);
    ExpectEscapeEnds(menu);
}

TEST_F(MenuScreenTest, ClicksOnDisabledItemsDoNothing) {
    HWND menu = StartMenuScreen();
    ASSERT_NE(menu, nullptr);
    for (int id : {kPlayItem, kUninstallItem, kLanguageItem}) {
        const char* text = TextOf(kNotInstalledMenu, id);
        SCOPED_TRACE(std::string("a click on ") + text);
        ASSERT_TRUE(ClickAt(ItemCentreOnScreen(menu, Item(id))));
        // Input is handled in order: once the next item shows hover, the click has been handled
        // (a dialog of the click would have disabled the menu screen by then).
        ASSERT_TRUE(MoveMouseTo(ItemCentreOnScreen(menu, Item(kViewReadMeItem))));
        EXPECT_TRUE(ShowsLook(menu, kViewReadMeItem, "View ReadMe", kHoverLook));

        EXPECT_TRUE(ShowsLook(menu, id, text, kDisabledLook, 0));
        EXPECT_EQ(VisibleTopLevelWindows(setup_->Id()), std::vector<HWND>{menu})
            << "the menu screen is not alone";
        EXPECT_TRUE(ChildrenOf(setup_->Id()).empty()) << "a program was started";
        ASSERT_TRUE(setup_->IsRunning());
    }
    // The same click on an item that is not disabled does reach it: Exit ends the program.
    ASSERT_TRUE(ClickAt(ItemCentreOnScreen(menu, Item(kExitItem))));
    DWORD exit_code = 1;
    ASSERT_TRUE(setup_->WaitForExit(kDefaultTimeoutMs, &exit_code)) << "Exit did not end it";
    EXPECT_EQ(exit_code, 0u);
}

TEST_F(MenuScreenTest, DragsWithTheLeftButtonOverTheBackground) {
    HWND menu = StartMenuScreen();
    ASSERT_NE(menu, nullptr);
    RECT before = {};
    ASSERT_TRUE(GetWindowRect(menu, &before));
    const auto window_at = [menu](LONG left, LONG top) {
        return [=] {
            RECT now = {};
            return GetWindowRect(menu, &now) && now.left == left && now.top == top;
        };
    };

    const POINT press = OnScreen(menu, kBackgroundPoint);
    ASSERT_TRUE(MoveMouseTo(press));
    ASSERT_TRUE(PressLeftButton());
    // The drag begins at the first move with the button down; from there the window follows
    // the cursor.
    const POINT start = {press.x + 3, press.y + 2};
    ASSERT_TRUE(MoveMouseTo(start));
    Sleep(200);  // handled on its own, not merged with the next move
    const POINT middle = {start.x + 20, start.y - 10};
    ASSERT_TRUE(MoveMouseTo(middle));
    EXPECT_TRUE(WaitUntil(window_at(before.left + 20, before.top - 10), kLookTimeoutMs));
    const POINT end = {start.x + 70, start.y - 45};
    ASSERT_TRUE(MoveMouseTo(end));
    ASSERT_TRUE(WaitUntil(window_at(before.left + 70, before.top - 45), kLookTimeoutMs))
        << "the window did not move with the cursor";
    ASSERT_TRUE(ReleaseLeftButton());

    // Released, the window stays where it is however the mouse moves.
    ASSERT_TRUE(MoveMouseTo({end.x + 15, end.y + 5}));
    ASSERT_TRUE(MoveMouseTo({end.x - 25, end.y + 12}));
    ASSERT_TRUE(MoveMouseTo(ItemCentreOnScreen(menu, Item(kInstallItem))));
    EXPECT_TRUE(ShowsLook(menu, kInstallItem, "Install", kHoverLook));
    EXPECT_TRUE(window_at(before.left + 70, before.top - 45)());
    ExpectEscapeEnds(menu);
}

TEST_F(MenuScreenTest, PlayStartsTheGameInTheInstallFolderAndEnds) {
    ASSERT_FALSE(Options().game_path.empty()) << "pass --game=<stand-in Dominarch.exe>";
    CopyInto(Options().game_path, kInstallFolder, kGameImage);
    ASSERT_TRUE(CreateMachineKey(kInstallKey, {{"Path", kInstallFolder}}));
    HWND menu = StartMenuScreen();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(ShowsLook(menu, kPlayItem, "Play", kNormalLook));

    ASSERT_TRUE(ClickAt(ItemCentreOnScreen(menu, Item(kPlayItem))));
    DWORD exit_code = 1;
    ASSERT_TRUE(setup_->WaitForExit(kDefaultTimeoutMs, &exit_code)) << "Play did not end it";
    EXPECT_EQ(exit_code, 0u);
    TestProcess* game = WaitForChild(kGameImage);
    ASSERT_NE(game, nullptr) << "no game was started";
    HWND window = WaitForWindow(game->Id(), kGameTitle, kDefaultTimeoutMs, game->Handle());
    ASSERT_NE(window, nullptr) << "the game shows no window";

    std::string record;
    ASSERT_TRUE(ReadWholeFile(temp_ + kGameRecord, &record)) << "the game noted no start";
    // The record: the game's current folder, then its command line. Setup.exe passes an empty
    // one; wine, unlike Windows, puts the quoted program path in its place.
    const std::string game_path = std::string(kInstallFolder) + "\\" + kGameImage;
    const std::string folder_line = std::string(kInstallFolder) + "\r\n";
    EXPECT_TRUE(record == folder_line + "\r\n" ||
                record == folder_line + "\"" + game_path + "\"\r\n")
        << "the game noted: " << record;

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(game->WaitForExit(kDefaultTimeoutMs));
}

TEST_F(MenuScreenTest, ViewReadMeShowsTheTextWhileTheMenuScreenHides) {
    std::string readme;
    ASSERT_TRUE(Looks()->Module().Resource("TEXT", kReadMeId, &readme));
    HWND menu = StartMenuScreen();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(ClickAt(ItemCentreOnScreen(menu, Item(kViewReadMeItem))));

    TestProcess* editor = WaitForChild(kEditorImage);
    ASSERT_NE(editor, nullptr) << "no notepad was started";
    ProcessParams params;
    ASSERT_TRUE(ReadProcessParams(editor->Handle(), &params));
    const std::string command = "notepad ";
    ASSERT_EQ(params.command_line.compare(0, command.size(), command), 0) << params.command_line;
    const std::string file = params.command_line.substr(command.size());
    const std::string folder = file.substr(0, file.find_last_of('\\'));
    made_files_.push_back(file);
    made_folders_.push_back(folder);
    EXPECT_EQ(file.substr(folder.size()), "\\ReadMe.txt");
    EXPECT_TRUE(SameFolder(folder.substr(0, folder.find_last_of('\\')), temp_))
        << folder << " is not in the temp folder";
    std::string shown;
    ASSERT_TRUE(ReadWholeFile(file, &shown)) << "cannot read " << file;
    EXPECT_EQ(shown.size(), readme.size());
    EXPECT_TRUE(shown == readme) << "the file differs from the ReadMe resource";
    EXPECT_TRUE(WaitForWindowGone(menu, kDefaultTimeoutMs))
        << "the menu screen stays visible while the editor runs";

    // The user closes the editor.
    std::vector<HWND> editor_windows;
    ASSERT_TRUE(
        WaitUntil([&] { return !(editor_windows = VisibleTopLevelWindows(editor->Id())).empty(); },
                  kDefaultTimeoutMs));
    PostMessageA(editor_windows.front(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(editor->WaitForExit(kDefaultTimeoutMs)) << "the editor did not close";
    EXPECT_TRUE(WaitForWindowVisible(menu, kDefaultTimeoutMs)) << "the menu screen is not back";
    EXPECT_TRUE(
        WaitUntil([&] { return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES; },
                  kDefaultTimeoutMs))
        << folder << " is left behind";
    EXPECT_FALSE(FileExists(file));
    ExpectEscapeEnds(menu);
}

TEST_F(MenuScreenTest, EnterDoesNothingAndEscapeEnds) {
    HWND menu = StartMenuScreen();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(PressEnter(menu));
    // Posted keys come before mouse input: once an item shows hover, Enter has been handled.
    ASSERT_TRUE(MoveMouseTo(ItemCentreOnScreen(menu, Item(kInstallItem))));
    EXPECT_TRUE(ShowsLook(menu, kInstallItem, "Install", kHoverLook));
    ASSERT_TRUE(setup_->IsRunning()) << "Enter ended the menu screen";
    EXPECT_TRUE(IsWindowVisible(menu));
    ExpectEscapeEnds(menu);
}

// German is in force only between the two start-up steps: the menu is drawn in English and
// English is stored, even with the German library beside the program.
TEST_F(MenuScreenTest, StoredGermanStillEndsInEnglish) {
    const std::string library = Options().language_library_path;
    ASSERT_FALSE(library.empty()) << "pass --language-library=<resDE.dll>";
    {
        DataModule german;
        ASSERT_TRUE(german.Open(library));
        const std::string play = german.String(2);
        ASSERT_TRUE(!play.empty() && play != "Play") << "the library holds no German texts";
    }
    const std::string program = CopyInto(Options().setup_path, kLanguageFolder, "Setup.exe");
    CopyInto(library, kLanguageFolder, "resDE.dll");
    ASSERT_TRUE(CreateMachineKey(kInstallKey, {{"Language", "German"}}));

    HWND menu = StartMenuScreen(program);
    ASSERT_NE(menu, nullptr);
    ExpectMenu(menu, kNotInstalledMenu);
    std::vector<StoredValue> values;
    ASSERT_TRUE(ListMachineValues(kInstallKey, &values));
    ASSERT_EQ(values.size(), 1u) << Describe(values);
    EXPECT_EQ(values[0].name, "Language");
    EXPECT_TRUE(IsStoredText(values[0].data, "English")) << Describe(values);
    ExpectEscapeEnds(menu);
}

}  // namespace
}  // namespace e2e
