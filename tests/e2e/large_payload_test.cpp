// A Setup.exe carrying a payload of gigabytes, never part of the test run (the test is disabled;
// bench/large_payload.sh runs it): a first install into the proposed folder, the installed tree
// compared with the game folder file by file, in pieces (the 32-bit driver cannot hold it whole),
// and the uninstall from the menu screen. It finds out whether the 32-bit program can carry that
// much under wine: its image and everything it maps while it installs share 2 GB of addresses.

#include <vector>

#include "tests/e2e/install_session.h"

namespace e2e {
namespace {

constexpr DWORD kLongCopyMs = 20 * 60 * 1000;
constexpr DWORD kPieceSize = 1 << 20;

// Whether two files hold the same bytes, read a piece at a time.
bool SameContent(const std::string& a, const std::string& b) {
    HANDLE first = CreateFileA(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE second = CreateFileA(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    bool same = first != INVALID_HANDLE_VALUE && second != INVALID_HANDLE_VALUE;
    std::vector<char> one(kPieceSize);
    std::vector<char> two(kPieceSize);
    while (same) {
        DWORD got_one = 0;
        DWORD got_two = 0;
        same = ReadFile(first, one.data(), kPieceSize, &got_one, nullptr) &&
               ReadFile(second, two.data(), kPieceSize, &got_two, nullptr) && got_one == got_two &&
               std::equal(one.begin(), one.begin() + got_one, two.begin());
        if (got_one == 0) {
            break;
        }
    }
    if (first != INVALID_HANDLE_VALUE) {
        CloseHandle(first);
    }
    if (second != INVALID_HANDLE_VALUE) {
        CloseHandle(second);
    }
    return same;
}

// The files below `game` that `installed` lacks or holds otherwise, a line each.
std::string Differences(const std::string& game, const std::string& installed) {
    std::string differences;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((game + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return "\n  cannot list " + game;
    }
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string from = game + "\\" + name;
        const std::string to = installed + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            differences += Differences(from, to);
        } else if (!SameContent(from, to)) {
            differences += "\n  differs or missing: " + to;
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return differences;
}

class LargePayloadTest : public InstallSessionTest {
  protected:
    bool ReadsPayload() const override { return false; }
};

TEST_F(LargePayloadTest, DISABLED_InstallsAndUninstalls) {
    StartAndInstall();
    HWND browser = WaitForBrowser("C:\\Program Files");
    ASSERT_NE(browser, nullptr);
    Press(browser, kOk);
    HWND question = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            question = FindWindowA(nullptr, "Installer");
            return question != nullptr || FindWindowA(nullptr, kErrorTitle) != nullptr;
        },
        kLongCopyMs))
        << "the copy did not end";
    ASSERT_NE(question, nullptr) << "the copy failed";
    Press(question, kCancel);
    WaitForMenuReleased();
    EXPECT_EQ(Differences(Options().payload_folder, kProposed), "");
    std::printf("installed and compared\n");

    ASSERT_NO_FATAL_FAILURE(ClickItem(kUninstallItem));
    HWND confirmation = WaitForQuestion("Uninstall?", kCancel, "NO!");
    ASSERT_NE(confirmation, nullptr);
    Press(confirmation, kOk);
    EXPECT_TRUE(WaitUntil([] { return !Exists(kProposed); }, kLongCopyMs)) << "still there";
    WaitForMenuReleased(kLongCopyMs);
    ExpectEscapeEnds(menu_);
}

}  // namespace
}  // namespace e2e
