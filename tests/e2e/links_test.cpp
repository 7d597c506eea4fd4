// Links under wine, end to end. The run script makes, as a user of the host would (ln -s), a
// game folder C:\Dom Links\Dominarch whose "save" leads to a folder outside, which holds a link
// to a folder in its data\, one to an empty folder there too, one to a file at its top and one to
// a file whose real path is longer than 260 characters (the system cannot tell where that one
// leads), and whose Manual.txt (a payload file) is a link to a file outside. Wine shows a link to
// a file as a plain file and deletes or truncates its target through it, and it removes an empty
// folder through a link to it. A reinstall over those names and an uninstall with "YES " must
// leave everything outside as it was, and the links where they are.

#include "tests/e2e/install_session.h"

namespace e2e {
namespace {

constexpr char kOutside[] = "C:\\Dom Outside";
constexpr char kLinkedGame[] = "C:\\Dom Links\\Dominarch";
const char* const kLinks[] = {"save",       "data\\linked", "data\\empty",
                              "linked.txt", "Manual.txt",   "far.txt"};

// Where far.txt leads, in the wide API's form that takes paths of any length.
std::wstring FarTarget() {
    const std::wstring folder(100, L'd');
    return L"\\\\?\\C:\\Dom Deep\\" + folder + L"\\" + folder + L"\\" + folder + L"\\far.txt";
}

bool FarTargetExists() {
    return GetFileAttributesW(FarTarget().c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Game(const char* name) {
    return std::string(kLinkedGame) + "\\" + name;
}

class LinksTest : public InstallSessionTest {
  protected:
    void SetUp() override {
        InstallSessionTest::SetUp();
        for (const char* link : kLinks) {
            ASSERT_TRUE(Exists(Game(link))) << "the run script made no link " << link;
        }
        ASSERT_TRUE(ReadTree(kOutside, &outside_));
        ASSERT_EQ(outside_.size(), 7u);
        ASSERT_TRUE(FarTargetExists()) << "the run script made no file far away";
    }
    void TearDown() override {
        InstallSessionTest::TearDown();
        DeleteFileIfPresent(temp_ + kCopyName);
    }

    void ExpectNothingOutsideChanged(const char* after) {
        TreeEntries seen;
        ASSERT_TRUE(ReadTree(kOutside, &seen));
        EXPECT_EQ(TreeDifferences(outside_, seen), "") << "outside, after " << after;
        EXPECT_TRUE(FarTargetExists()) << "far.txt's target went after " << after;
        for (const char* link : kLinks) {
            EXPECT_TRUE(Exists(Game(link))) << link << " went after " << after;
        }
    }

    TreeEntries outside_;
};

TEST_F(LinksTest, NothingOutsideTheGameFolderIsWrittenOrDeleted) {
    ASSERT_TRUE(CreateMachineKey(kInstallKey, {{"Path", kLinkedGame}}));

    // The reinstall meets the link where Manual.txt goes: it is never written through, and the
    // copy ends there as a file that cannot be made, which the user is told by name.
    StartAndInstall();
    HWND message = WaitForInstallError();
    ASSERT_NE(message, nullptr);
    const std::string words = ControlText(DialogItem(message, kMessageText));
    EXPECT_NE(words.find(Game("Manual.txt")), std::string::npos) << words;
    Press(message, kOk);
    WaitForMenuReleased();
    ExpectNothingOutsideChanged("the reinstall");
    ASSERT_TRUE(PressEscape(menu_));
    ASSERT_TRUE(setup_->WaitForExit(kDefaultTimeoutMs));

    // The uninstall of the user's own choice, "YES ": the saved games are a link, so there is no
    // question about them, and nothing is deleted through any link: not the file whose final
    // path cannot be read, and not the empty folder a link in data\ leads to.
    TestProcess* first = StartCommand("\"" + Options().setup_path + "\" /uninstall");
    ASSERT_NE(first, nullptr);
    ASSERT_NO_FATAL_FAILURE(UninstallThroughTheCopy(first, false, false));
    ExpectNothingOutsideChanged("the uninstall");
    EXPECT_FALSE(Exists(Game("Dominarch.exe"))) << "the game's own files stay";
}

}  // namespace
}  // namespace e2e
