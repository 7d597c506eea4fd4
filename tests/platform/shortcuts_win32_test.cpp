// Shortcut files through the shell's link object: a name longer than MAX_PATH reaches the save
// whole, and the file comes under exactly that name.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/shortcuts.h"
#include "tests/platform/test_folder.h"

namespace {

TEST(PlatformShortcutWriter, SavesUnderANameLongerThanMaxPath) {
    platform_test::TestFolder root;
    const std::string name = std::string(240, 's') + ".lnk";
    const std::string path = root / name;
    ASSERT_GT(path.size(), static_cast<size_t>(MAX_PATH));

    const int32_t result =
        platform::CreateShortcut("C:\\Game\\Game.exe", path, "", "C:\\Game", "Game", "");
    std::vector<std::string> names;
    platform::FolderLister lister;
    ASSERT_TRUE(lister.Open(root.path()));
    for (platform::FolderEntry entry; lister.Next(&entry);) {
        if (entry.name != "." && entry.name != "..") {
            names.push_back(entry.name);
        }
    }
    lister.Close();
    EXPECT_GE(result, 0) << std::hex << result;
    EXPECT_EQ(names, std::vector<std::string>{name});

    // The ANSI calls the test folder is removed with do not take so long a name.
    const std::wstring wide = L"\\\\?\\" + std::wstring(path.begin(), path.end());
    DeleteFileW(wide.c_str());
}

}  // namespace
