#include "tests/e2e/menu_session.h"

#include <cstdlib>

#include <sstream>

#include "tests/e2e/driver/dialog_input.h"
#include "tests/e2e/driver/file_helpers.h"
#include "tests/e2e/driver/image.h"
#include "tests/e2e/driver/mouse_input.h"
#include "tests/e2e/driver/process_list.h"
#include "tests/e2e/driver/timeouts.h"
#include "tests/e2e/driver/windows_of_process.h"
#include "tests/e2e/e2e_options.h"

namespace e2e {

const ExpectedMenu kNotInstalledMenu = {
    {kPlayItem, "Play", kDisabledLook},
    {kInstallItem, "Install", kNormalLook},
    {kUninstallItem, "Uninstall", kDisabledLook},
    {kViewReadMeItem, "View ReadMe", kNormalLook},
    {kExitItem, "Exit", kNormalLook},
    {kLanguageItem, "Language Selection", kDisabledLook},
};

const ExpectedMenu kInstalledMenu = {
    {kPlayItem, "Play", kNormalLook},
    {kInstallItem, "Reinstall", kNormalLook},
    {kUninstallItem, "Uninstall", kNormalLook},
    {kViewReadMeItem, "View ReadMe", kNormalLook},
    {kExitItem, "Exit", kNormalLook},
    {kLanguageItem, "Language Selection", kDisabledLook},
};

const char* TextOf(const ExpectedMenu& menu, int id) {
    for (const ExpectedItem& item : menu) {
        if (item.id == id) {
            return item.text;
        }
    }
    return "";
}

// Drawn from the stub's artwork when the run names the stub: a stamped Setup.exe carries the
// stub's resources byte for byte (the stamping test checks that), and the stub is small where a
// Setup.exe may carry gigabytes that this 32-bit driver could not map beside its own.
const MenuLooks* Looks() {
    static MenuLooks looks;
    static const bool loaded =
        looks.Load(Options().stub_path.empty() ? Options().setup_path : Options().stub_path);
    return loaded ? &looks : nullptr;
}

std::vector<ProcessEntry> ChildrenOf(DWORD parent) {
    std::vector<ProcessEntry> children;
    for (const ProcessEntry& entry : ListProcesses()) {
        if (entry.parent_id == parent && entry.id != parent) {
            children.push_back(entry);
        }
    }
    return children;
}

namespace {

std::string Printable(const std::string& bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        char escaped[8];
        wsprintfA(escaped, c >= 32 && c < 127 ? "%c" : "\\x%02X", c);
        text += escaped;
    }
    return text;
}

}  // namespace

std::string Describe(const std::vector<StoredValue>& values) {
    std::ostringstream text;
    for (const StoredValue& value : values) {
        text << "\"" << value.name << "\" (type " << value.type << ") = \"" << Printable(value.data)
             << "\"; ";
    }
    return values.empty() ? "no values" : text.str();
}

bool IsStoredText(const std::string& data, const std::string& text) {
    return data == text || data == text + '\0';
}

void MenuSessionTest::SetUp() {
    ASSERT_FALSE(Options().setup_path.empty()) << "pass the path of Setup.exe";
    ASSERT_NE(Looks(), nullptr) << "cannot load the artwork of Setup.exe or the stub";
    ParkMouse();
    ASSERT_TRUE(DeleteMachineKey(kProductKey));
    entry_existed_ = MachineKeyExists(kUninstallEntryKey);
    temp_ = TempFolder();
    ASSERT_FALSE(temp_.empty());
}

void MenuSessionTest::TearDown() {
    for (const auto& process : started_) {
        for (const ProcessEntry& child : ChildrenOf(process->Id())) {
            TerminateProcessById(child.id);
        }
    }
    started_.clear();  // each terminates its process if it still runs
    ParkMouse();
    DeleteMachineKey(kProductKey);
    if (!entry_existed_) {
        DeleteMachineKey(kUninstallEntryKey);
    }
    for (const std::string& file : made_files_) {
        DeleteFileIfPresent(file);
    }
    for (const std::string& folder : made_folders_) {
        RemoveDirectoryA(folder.c_str());
    }
}

void MenuSessionTest::ParkMouse() {
    MoveMouseTo({0, 0});
}

HWND MenuSessionTest::StartMenuScreen(const std::string& program) {
    const std::string path = program.empty() ? Options().setup_path : program;
    // A screen that comes up under a mouse left on an item shows that item hovered, and the
    // mouse move that says so can arrive after the test's next move to another item.
    ParkMouse();
    auto process = std::make_unique<TestProcess>();
    if (!process->Start("", "\"" + path + "\"", "")) {
        ADD_FAILURE() << "cannot start " << path;
        return nullptr;
    }
    setup_ = process.get();
    started_.push_back(std::move(process));
    HWND menu = WaitForWindow(setup_->Id(), kMenuTitle, kDefaultTimeoutMs, setup_->Handle());
    if (menu == nullptr) {
        ADD_FAILURE() << "no menu screen";
        return nullptr;
    }
    // Found by its title as soon as start-up has set it, at the screen's top-left corner; it is
    // centred on the work area only when start-up has ended.
    const auto centred = [menu] {
        RECT window = {};
        RECT area = {};
        return GetWindowRect(menu, &window) &&
               SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0) &&
               std::abs((window.left + window.right) - (area.left + area.right)) <= 2 &&
               std::abs((window.top + window.bottom) - (area.top + area.bottom)) <= 2;
    };
    if (!WaitUntil(centred, kDefaultTimeoutMs)) {
        ADD_FAILURE() << "the menu screen is never centred";
        return nullptr;
    }
    SetForegroundWindow(menu);
    if (!WaitUntil([&] { return FindMenuItems(menu, &items_); }, kDefaultTimeoutMs)) {
        ADD_FAILURE() << "found " << items_.size() << " of the six menu items";
        return nullptr;
    }
    return menu;
}

const MenuItem& MenuSessionTest::Item(int id) const {
    static const MenuItem kNone;
    const MenuItem* item = FindItem(items_, id);
    return item != nullptr ? *item : kNone;
}

Image MenuSessionTest::CaptureItem(HWND menu, const MenuItem& item) const {
    RECT rect = item.rect;
    MapWindowPoints(menu, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    Image image;
    CaptureScreenRect(rect, &image);
    return image;
}

testing::AssertionResult MenuSessionTest::ShowsLook(HWND menu, int id, const std::string& text,
                                                    int look, DWORD timeout_ms,
                                                    int other_look) const {
    const MenuItem& item = Item(id);
    const Image expected = Looks()->Render(item.rect, text, look);
    const Image also = Looks()->Render(item.rect, text, other_look < 0 ? look : other_look);
    const DWORD start = GetTickCount();
    Image seen;
    do {
        if (!IsWindowVisible(menu)) {
            return testing::AssertionFailure() << "the menu screen is gone";
        }
        seen = CaptureItem(menu, item);
        if (!expected.pixels.empty() &&
            (CountDifferentPixels(seen, expected) == 0 || CountDifferentPixels(seen, also) == 0)) {
            return testing::AssertionSuccess();
        }
        Sleep(kPollIntervalMs);
    } while (GetTickCount() - start < timeout_ms);

    std::ostringstream why;
    why << "item " << id << " does not show \"" << text << "\" " << LookName(look) << ":";
    for (int other = 0; other < kLookCount; ++other) {
        why << " " << LookName(other) << " differs in "
            << CountDifferentPixels(seen, Looks()->Render(item.rect, text, other)) << " pixels;";
    }
    if (!Options().artifacts_folder.empty()) {
        const std::string name = Options().artifacts_folder + "\\" +
                                 testing::UnitTest::GetInstance()->current_test_info()->name() +
                                 "_item" + std::to_string(id);
        SaveImageAsBmp(seen, name + "_seen.bmp");
        SaveImageAsBmp(expected, name + "_expected.bmp");
        why << " pictures saved as " << name << "_*";
    }
    return testing::AssertionFailure() << why.str();
}

void MenuSessionTest::ExpectMenu(HWND menu, const ExpectedMenu& expected, int pressed_id) const {
    for (const ExpectedItem& item : expected) {
        if (item.id == pressed_id) {
            EXPECT_TRUE(
                ShowsLook(menu, item.id, item.text, kPressedLook, kLookTimeoutMs, kHoverLook));
        } else {
            EXPECT_TRUE(ShowsLook(menu, item.id, item.text, item.look));
        }
    }
}

POINT MenuSessionTest::OnScreen(HWND menu, POINT client) const {
    ClientToScreen(menu, &client);
    return client;
}

void MenuSessionTest::ExpectEscapeEnds(HWND menu) const {
    ASSERT_TRUE(PressEscape(menu));
    DWORD exit_code = 1;
    ASSERT_TRUE(setup_->WaitForExit(kDefaultTimeoutMs, &exit_code)) << "Escape did not end it";
    EXPECT_EQ(exit_code, 0u);
}

TestProcess* MenuSessionTest::WaitForChild(const std::string& image) {
    const DWORD start = GetTickCount();
    do {
        for (const ProcessEntry& entry : FindProcessesByImageName(image)) {
            auto process = std::make_unique<TestProcess>();
            if (entry.parent_id == setup_->Id() && process->Attach(entry.id)) {
                started_.push_back(std::move(process));
                return started_.back().get();
            }
        }
        Sleep(kPollIntervalMs);
    } while (GetTickCount() - start < kDefaultTimeoutMs);
    return nullptr;
}

std::string MenuSessionTest::CopyInto(const std::string& source, const std::string& folder,
                                      const std::string& name) {
    const std::string path = folder + "\\" + name;
    EXPECT_TRUE(CreateFolders(folder)) << folder;
    EXPECT_TRUE(CopyFileA(source.c_str(), path.c_str(), FALSE)) << source << " to " << path;
    made_files_.push_back(path);
    return path;
}

}  // namespace e2e
