#pragma once

// What the suites that work Setup.exe's menu screen share: a fixture that starts Setup.exe
// afresh with a clean product key, finds its menu screen and items, tells what an item shows
// (a capture of the screen compared with the test's own rendering of the expected word in the
// expected look, drawn from Setup.exe's own artwork), and ends everything the test started
// (by process id) and removes what it made.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/driver/menu_items.h"
#include "tests/e2e/driver/menu_looks.h"
#include "tests/e2e/driver/process_list.h"
#include "tests/e2e/driver/registry_keys.h"
#include "tests/e2e/driver/test_process.h"

namespace e2e {

inline constexpr char kMenuTitle[] = "Dominarch Installer";
inline constexpr char kProductKey[] = "Software\\Tessaline";
inline constexpr char kInstallKey[] = "Software\\Tessaline\\Dominarch\\INSTALL";
inline constexpr char kUninstallEntryKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dominarch";

// How long an item may take to show a look: it redraws at once on every change, but the input
// and the painting happen in another process.
inline constexpr DWORD kLookTimeoutMs = 5000;

// An item as the menu should show it.
struct ExpectedItem {
    int id;
    const char* text;
    int look;
};
using ExpectedMenu = ExpectedItem[6];

extern const ExpectedMenu kNotInstalledMenu;
extern const ExpectedMenu kInstalledMenu;

const char* TextOf(const ExpectedMenu& menu, int id);

// The expected renderings, made once from the installer's artwork; null when it has none.
const MenuLooks* Looks();

// The processes `parent` started (whatever their image).
std::vector<ProcessEntry> ChildrenOf(DWORD parent);

// For failure messages: the values, with anything unprintable as \xNN.
std::string Describe(const std::vector<StoredValue>& values);

// Setup.exe stores a name's bytes without a terminating zero; the registry adds one itself when
// the byte after the data is zero (as the NT family does, and wine with it), so a single trailing
// zero is allowed and nothing else.
bool IsStoredText(const std::string& data, const std::string& text);

class MenuSessionTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The cursor goes to the screen's corner, away from where the menu screen appears.
    static void ParkMouse();

    // Starts `program` (Setup.exe unless given) and waits for its menu screen with all its
    // items, brought to the front.
    HWND StartMenuScreen(const std::string& program = "");

    const MenuItem& Item(int id) const;
    POINT OnScreen(HWND menu, POINT client) const;

    // Waits until item `id` shows `text` in `look` (or in `other_look`, when given); on failure
    // tells which look of that text, if any, it shows instead, and leaves the capture and the
    // expected picture among the run's artifacts.
    testing::AssertionResult ShowsLook(HWND menu, int id, const std::string& text, int look,
                                       DWORD timeout_ms = kLookTimeoutMs,
                                       int other_look = -1) const;
    // Every item as `expected` says; item `pressed_id`, when given, in the pressed look that a
    // click leaves until the mouse moves again, or in hover: the system moves the mouse over it
    // anew when a dialog that covered the cursor goes.
    void ExpectMenu(HWND menu, const ExpectedMenu& expected, int pressed_id = 0) const;

    void ExpectEscapeEnds(HWND menu) const;

    // A process that Setup.exe started with image `image`, taken under the test's care.
    TestProcess* WaitForChild(const std::string& image);

    // Copies `source` to `folder`\`name` (creating the folder) and removes it after the test.
    std::string CopyInto(const std::string& source, const std::string& folder,
                         const std::string& name);

    std::string temp_;
    TestProcess* setup_ = nullptr;
    std::vector<MenuItem> items_;
    std::vector<std::string> made_files_;
    std::vector<std::string> made_folders_;

  private:
    Image CaptureItem(HWND menu, const MenuItem& item) const;

    bool entry_existed_ = false;
    std::vector<std::unique_ptr<TestProcess>> started_;
};

}  // namespace e2e
