// The driver's own tests, against the stand-in dialog in fixtures/: if these fail, a failing
// start-up test says nothing about Setup.exe.

#include <windows.h>

#include <cstring>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "tests/e2e/driver/dialog_input.h"
#include "tests/e2e/driver/file_helpers.h"
#include "tests/e2e/driver/process_list.h"
#include "tests/e2e/driver/process_params.h"
#include "tests/e2e/driver/registry_keys.h"
#include "tests/e2e/driver/screenshot.h"
#include "tests/e2e/driver/test_process.h"
#include "tests/e2e/driver/timeouts.h"
#include "tests/e2e/driver/windows_of_process.h"
#include "tests/e2e/e2e_options.h"

namespace e2e {
namespace {

constexpr char kFixtureTitle[] = "Driver Fixture";
constexpr char kFixtureImage[] = "e2e_fixture.exe";

std::string FixturePath() {
    return Options().own_folder + "\\" + kFixtureImage;
}

// Starts the fixture with `arguments` and waits for its dialog.
HWND StartFixture(TestProcess* fixture, const std::string& arguments = "",
                  const std::string& folder = "") {
    const std::string line =
        "\"" + FixturePath() + "\"" + (arguments.empty() ? "" : " ") + arguments;
    if (!fixture->Start("", line, folder)) {
        ADD_FAILURE() << "cannot start " << line;
        return nullptr;
    }
    return WaitForWindow(fixture->Id(), kFixtureTitle, kDefaultTimeoutMs, fixture->Handle());
}

struct DialogAction {
    const char* label;
    bool (*act)(HWND dialog);
    DWORD expected_exit_code;  // 10 + the id that ended the dialog
};

const DialogAction kDialogActions[] = {
    {"click YES", [](HWND d) { return ClickButton(DialogItem(d, IDOK)); }, 11},
    {"click NO", [](HWND d) { return ClickButton(DialogItem(d, IDCANCEL)); }, 12},
    {"Escape", [](HWND d) { return PressEscape(d); }, 12},
    {"Enter picks the default button", [](HWND d) { return PressEnter(d); }, 11},
};

TEST(DriverTest, ButtonsAndKeysEndTheDialogAsAUserWould) {
    for (const DialogAction& action : kDialogActions) {
        SCOPED_TRACE(action.label);
        TestProcess fixture;
        HWND dialog = StartFixture(&fixture);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(ControlText(DialogItem(dialog, IDOK)), "YES ");
        EXPECT_EQ(ControlText(DialogItem(dialog, IDCANCEL)), "NO!");
        ASSERT_TRUE(action.act(dialog));
        DWORD exit_code = 0;
        ASSERT_TRUE(fixture.WaitForExit(kDefaultTimeoutMs, &exit_code));
        EXPECT_EQ(exit_code, action.expected_exit_code);
    }
}

TEST(DriverTest, ReadsAnotherProcesssCommandLineAndCurrentFolder) {
    const std::string folder = TempFolder();
    ASSERT_FALSE(folder.empty());
    const std::string line = "\"" + FixturePath() + "\"  /some \"quoted arg\"";
    TestProcess fixture;
    ASSERT_TRUE(fixture.Start("", line, folder));
    ASSERT_NE(WaitForWindow(fixture.Id(), kFixtureTitle, kDefaultTimeoutMs, fixture.Handle()),
              nullptr);

    ProcessParams params;
    ASSERT_TRUE(ReadProcessParams(fixture.Handle(), &params));
    EXPECT_EQ(params.command_line, line);
    EXPECT_TRUE(SameFolder(params.current_folder, folder)) << params.current_folder;
}

TEST(DriverTest, FindsAProcessByImageNameWithItsParent) {
    TestProcess fixture;
    ASSERT_NE(StartFixture(&fixture), nullptr);
    bool found = false;
    for (const ProcessEntry& entry : FindProcessesByImageName("E2E_Fixture.EXE")) {
        if (entry.id == fixture.Id()) {
            found = true;
            EXPECT_EQ(entry.parent_id, GetCurrentProcessId());
            EXPECT_EQ(entry.image_name, kFixtureImage);
        }
    }
    EXPECT_TRUE(found);
    EXPECT_TRUE(FindProcessesByImageName("no-such-program.exe").empty());
}

TEST(DriverTest, TerminatesAProcessKnownOnlyById) {
    TestProcess fixture;
    ASSERT_NE(StartFixture(&fixture), nullptr);
    EXPECT_TRUE(TerminateProcessById(fixture.Id()));
    EXPECT_TRUE(fixture.WaitForExit(kDefaultTimeoutMs));
}

TEST(DriverTest, WaitsGiveUpWhenTheProcessEndsWithoutAWindow) {
    TestProcess fixture;
    ASSERT_TRUE(fixture.Start("", "\"" + FixturePath() + "\" /quit", ""));
    std::vector<std::string> titles;
    ASSERT_TRUE(WatchWindowsUntilExit(fixture.Handle(), fixture.Id(), kDefaultTimeoutMs, &titles));
    EXPECT_TRUE(titles.empty());
    const DWORD start = GetTickCount();
    EXPECT_EQ(WaitForWindow(fixture.Id(), kFixtureTitle, kDefaultTimeoutMs, fixture.Handle()),
              nullptr);
    EXPECT_LT(GetTickCount() - start, kDefaultTimeoutMs);
    DWORD exit_code = 0;
    ASSERT_TRUE(fixture.WaitForExit(0, &exit_code));
    EXPECT_EQ(exit_code, 7u);
}

TEST(DriverTest, MachineKeysAreCreatedAndDeletedWithTheirSubkeys) {
    const std::string key = "Software\\DominarchE2eDriverTest";
    ASSERT_TRUE(CreateMachineKey(key + "\\Inner\\Deeper", {{"Name", "value"}}));
    EXPECT_TRUE(MachineKeyExists(key + "\\Inner\\Deeper"));
    EXPECT_TRUE(DeleteMachineKey(key));
    EXPECT_FALSE(MachineKeyExists(key));
    EXPECT_TRUE(DeleteMachineKey(key));  // already gone
}

// Values come back with their type and their bytes exactly as stored.
TEST(DriverTest, ListsAKeysValuesByteForByte) {
    const std::string subkey = "Software\\DominarchE2eDriverTest";
    ASSERT_TRUE(CreateMachineKey(subkey, {{"Text", "abc"}}));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    const BYTE binary[] = {'x', 0, 'y', 0, 0};
    EXPECT_EQ(RegSetValueExA(key, "Binary", 0, REG_BINARY, binary, sizeof(binary)), ERROR_SUCCESS);
    RegCloseKey(key);

    std::vector<StoredValue> values;
    ASSERT_TRUE(ListMachineValues(subkey, &values));
    DeleteMachineKey(subkey);
    ASSERT_EQ(values.size(), 2u);
    for (const StoredValue& value : values) {
        if (value.name == "Text") {
            EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
            EXPECT_EQ(value.data, std::string("abc", 4));  // written with its zero
        } else {
            EXPECT_EQ(value.name, "Binary");
            EXPECT_EQ(value.type, static_cast<DWORD>(REG_BINARY));
            EXPECT_EQ(value.data, std::string("x\0y\0\0", 5));
        }
    }
    EXPECT_FALSE(ListMachineValues(subkey, &values));
}

// Reads the BMP's size and pixel colours back.
struct BmpSummary {
    LONG width = 0;
    LONG height = 0;
    WORD bits = 0;
    size_t distinct_colours = 0;
};

bool SummariseBmp(const std::string& path, BmpSummary* summary) {
    std::string bytes;
    if (!ReadWholeFile(path, &bytes) || bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) {
        return false;
    }
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data() + sizeof(BITMAPFILEHEADER), sizeof(header));
    summary->width = header.biWidth;
    summary->height = header.biHeight;
    summary->bits = header.biBitCount;
    const size_t row = static_cast<size_t>((header.biWidth * 3 + 3) & ~3);
    const size_t offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    if (bytes.size() != offset + row * static_cast<size_t>(header.biHeight)) {
        return false;
    }
    std::set<std::string> colours;
    for (LONG y = 0; y < header.biHeight; ++y) {
        for (LONG x = 0; x < header.biWidth; ++x) {
            colours.insert(bytes.substr(offset + y * row + x * 3, 3));
        }
    }
    summary->distinct_colours = colours.size();
    return true;
}

TEST(DriverTest, ScreenshotHoldsTheWindowAsA24BitBmp) {
    TestProcess fixture;
    HWND dialog = StartFixture(&fixture);
    ASSERT_NE(dialog, nullptr);
    Sleep(300);  // let it paint
    const std::string path = TempFolder() + "e2e_driver_shot.bmp";
    ASSERT_TRUE(CaptureWindowToBmp(dialog, path));
    BmpSummary summary;
    const bool readable = SummariseBmp(path, &summary);
    DeleteFileIfPresent(path);
    ASSERT_TRUE(readable);
    RECT rect;
    GetWindowRect(dialog, &rect);
    EXPECT_EQ(summary.width, rect.right - rect.left);
    EXPECT_EQ(summary.height, rect.bottom - rect.top);
    EXPECT_EQ(summary.bits, 24);
    EXPECT_GT(summary.distinct_colours, 2u);  // a frame, a face and text, not a blank grab
}

}  // namespace
}  // namespace e2e
