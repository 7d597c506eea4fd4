// The benchmark under wine, never part of the test run (its tests are disabled; bench/run_bench.sh
// runs them): Setup.exe's first install of its payload and its uninstall, each timed as a user
// meets it, against what the same work costs without the installer in the same wine. Per round:
//   discard:   the PACK resource of Setup.exe read to its end through memgz_read, nothing written
//              (the cost of decompression alone);
//   install:   from the press of the folder browser's OK (where the copy starts) to the desktop
//              question, which the menu screen asks once the copy has ended and registered;
//   uninstall: from the press of "YES " to the game's folder gone and the menu screen released,
//              less the time the question about the saved games is up;
//   delete:    the same tree, written again beside it, removed by a plain recursive delete;
//   write:     that writing of the tree from memory (for comparison: the copy's other half).
// Each round prints one line, "bench round N: discard S install S uninstall S delete S write S".

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "engine/memgz.h"
#include "engine/pack_format.h"
#include "tests/e2e/install_session.h"

namespace e2e {
namespace {

// Where the benchmark installs, and where its reference tree goes: a file system in memory that
// the run script mounts there (or a plain folder when it could not).
constexpr char kBenchDrive[] = "C:\\Dom Bench";
constexpr char kReferenceTree[] = "C:\\Dom Bench\\Reference\\Dominarch";
// How often the end is looked for: often enough to bound the error to a percent of a copy, and
// seldom enough (one cheap look each time) that the looking takes nothing from the copy, which
// needs both processors and, under wine, wineserver besides.
constexpr DWORD kBenchPollMs = 10;
constexpr char kDialogClass[] = "#32770";

class Stopwatch {
  public:
    Stopwatch() { QueryPerformanceCounter(&start_); }
    double Seconds() const {
        LARGE_INTEGER now = {};
        LARGE_INTEGER frequency = {};
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - start_.QuadPart) /
               static_cast<double>(frequency.QuadPart);
    }

  private:
    LARGE_INTEGER start_ = {};
};

// Polls `condition` every few milliseconds; false after the copy timeout.
template <typename Condition>
bool WaitClosely(Condition condition) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > kCopyTimeoutMs) {
            return false;
        }
        Sleep(kBenchPollMs);
    }
    return true;
}

// Seconds to read the pack that `setup` carries to its end, or a negative figure on failure.
double DiscardSeconds(const std::string& setup) {
    HMODULE module = LoadLibraryExA(setup.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) {
        return -1;
    }
    double seconds = -1;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(131), "pack");
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* block = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (block != nullptr) {
        static uint8_t discard[kPackChunkSize];
        const Stopwatch watch;
        memgz_stream* stream = memgz_open(block, "rb", SizeofResource(module, found));
        int got = stream != nullptr ? 1 : -1;
        while (got > 0) {
            got = memgz_read(stream, discard, sizeof discard);
        }
        const bool clean = got == 0 && memgz_ended_cleanly(stream);
        if (stream != nullptr) {
            memgz_close(stream);
        }
        seconds = clean ? watch.Seconds() : -1;
    }
    FreeLibrary(module);
    return seconds;
}

// The dialog titled `title` once it is on the screen with its button `button`, else null: one
// look for the title, and more only when it is there.
HWND ShownDialog(const char* title, int button) {
    HWND dialog = FindWindowA(kDialogClass, title);
    return dialog != nullptr && IsWindowVisible(dialog) && DialogItem(dialog, button) != nullptr &&
                   IsWindowEnabled(DialogItem(dialog, button))
               ? dialog
               : nullptr;
}

bool WriteTree(const std::string& root, const TreeEntries& entries) {
    if (!CreateFolders(root)) {
        return false;
    }
    for (const auto& [name, content] : entries) {  // a folder sorts before what it holds
        const std::string path = root + "\\" + name;
        if (!(content == kFolderEntry ? CreateFolders(path) : WriteWholeFile(path, content))) {
            return false;
        }
    }
    return true;
}

class BenchTest : public InstallSessionTest {
  protected:
    // Installs into the proposed folder; the seconds of the copy.
    double TimedInstall() {
        StartAndInstall();
        HWND browser = WaitForBrowser("C:\\Program Files");
        EXPECT_NE(browser, nullptr);
        if (browser == nullptr) {
            return -1;
        }
        Pick(browser, kBenchDrive);
        const Stopwatch watch;
        EXPECT_TRUE(ClickButton(DialogItem(browser, kOk)));
        HWND question = nullptr;
        const bool asked = WaitClosely([&] {
            question = ShownDialog("Installer", kCancel);
            return question != nullptr;
        });
        const double seconds = watch.Seconds();
        EXPECT_TRUE(asked) << "the copy did not end";
        if (asked) {
            Press(question, kCancel);
            WaitForMenuReleased();
        }
        return asked ? seconds : -1;
    }

    // Uninstalls from the menu screen; the seconds from "YES " to the folder gone.
    double TimedUninstall() {
        ClickItem(kUninstallItem);
        HWND confirmation = WaitForQuestion("Uninstall?", kCancel, "NO!");
        EXPECT_NE(confirmation, nullptr);
        if (confirmation == nullptr) {
            return -1;
        }
        const Stopwatch watch;
        EXPECT_TRUE(ClickButton(DialogItem(confirmation, kOk)));
        // The payload's saved games make the uninstall ask about them: "OK Delete", so that the
        // whole tree goes, as in the plain delete; the time the question is up does not count.
        double asked_for = 0;
        const bool gone = WaitClosely([&] {
            if (HWND question = ShownDialog("Uninstalling...", kOk)) {
                const Stopwatch asked;
                Press(question, kOk);
                asked_for += asked.Seconds();
            }
            return !Exists(GameFolderIn(kBenchDrive)) && IsWindowEnabled(menu_) &&
                   Indicator() == nullptr;
        });
        const double seconds = watch.Seconds() - asked_for;
        if (!gone) {
            std::string shown;
            for (HWND window : VisibleTopLevelWindows(setup_->Id())) {
                shown += " \"" + WindowTitle(window) + "\"";
            }
            ADD_FAILURE() << "the uninstall did not end; the folder is "
                          << (Exists(GameFolderIn(kBenchDrive)) ? "still there" : "gone")
                          << "; shown:" << shown;
        }
        return gone ? seconds : -1;
    }

    // Writes the payload's tree beside the installed one (the seconds that took go to
    // `write_seconds`) and removes it with a plain recursive delete.
    double TimedPlainDelete(double* write_seconds) {
        const Stopwatch writing;
        if (!WriteTree(kReferenceTree, payload_)) {
            ADD_FAILURE() << "cannot write " << kReferenceTree;
            return -1;
        }
        *write_seconds = writing.Seconds();
        const Stopwatch watch;
        const bool gone = RemoveTree(kReferenceTree);
        const double seconds = watch.Seconds();
        EXPECT_TRUE(gone);
        return gone ? seconds : -1;
    }
};

TEST_F(BenchTest, DISABLED_InstallAndUninstallAgainstDiscardAndPlainDelete) {
    ASSERT_TRUE(CreateFolders(kBenchDrive));
    RemoveAfterwards(GameFolderIn(kBenchDrive));
    RemoveAfterwards("C:\\Dom Bench\\Reference");
    const char* wanted = std::getenv("DOMINARCH_BENCH_ROUNDS");
    const int rounds = wanted != nullptr && std::atoi(wanted) > 0 ? std::atoi(wanted) : 5;
    for (int round = 1; round <= rounds; ++round) {
        const double discard = DiscardSeconds(Options().setup_path);
        ASSERT_GT(discard, 0) << "cannot read the pack of " << Options().setup_path;
        const double install = TimedInstall();
        ASSERT_GT(install, 0);
        const double uninstall = TimedUninstall();
        ASSERT_GT(uninstall, 0);
        ASSERT_TRUE(PressEscape(menu_));
        ASSERT_TRUE(setup_->WaitForExit(kDefaultTimeoutMs));
        double plain_write = 0;
        const double plain_delete = TimedPlainDelete(&plain_write);
        ASSERT_GT(plain_delete, 0);
        std::printf(
            "bench round %d: discard %.4f install %.4f uninstall %.4f delete %.4f write %.4f\n",
            round, discard, install, uninstall, plain_delete, plain_write);
        std::fflush(stdout);
    }
}

}  // namespace
}  // namespace e2e
