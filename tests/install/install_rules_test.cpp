// The folder browser's string rules and the disk space figures, with Windows examples.

#include <gtest/gtest.h>

#include <string>

#include "install/disk_space.h"
#include "install/folder_browser_rules.h"

namespace {

using install::kGameSubfolder;

TEST(FolderBrowserRules, InitialFolderIsCutBeforeTheLastOccurrence) {
    struct Case {
        const char* path;
        const char* subfolder;
        const char* opens_on;
    } const cases[] = {
        {"C:\\Program Files", kGameSubfolder, "C:\\Program Files"},
        {"D:\\Games\\Dominarch", kGameSubfolder, "D:\\Games"},
        {"C:\\Dominarch", kGameSubfolder, "C:\\"},  // the root keeps its backslash
        {"C:\\Dominarch\\Dominarch", kGameSubfolder, "C:\\Dominarch"},
        {"C:\\DominarchData", kGameSubfolder, "C:\\"},       // plain text, not a whole name
        {"C:\\DOMINARCH", kGameSubfolder, "C:\\DOMINARCH"},  // case-sensitive
        {"Dominarch", kGameSubfolder, ""},
        {"\\Dominarch", kGameSubfolder, "\\"},  // nothing two before the backslash
        {"Domi", kGameSubfolder, "Domi"},       // the name is longer than the path
        {"C:\\a\\b", "b", "C:\\a\\b"},          // names under 2 characters never match
        {"", kGameSubfolder, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(install::InitialFolderOf(c.path, c.subfolder), c.opens_on) << c.path;
    }
}

TEST(FolderBrowserRules, StatusTextAndInstallPath) {
    struct Case {
        const char* folder;
        const char* status;
        const char* install_path;
    } const cases[] = {
        {"C:\\Program Files", "C:\\Program Files\\Dominarch\\", "C:\\Program Files\\Dominarch"},
        {"C:\\", "C:\\Dominarch\\", "C:\\Dominarch"},
        {"C:\\Games", "C:\\Games\\Dominarch\\", "C:\\Games\\Dominarch"},
        {"C:", "C:", "C:"},  // shorter than 3: unchanged
        {"", "", ""},
        // 36 characters + "\Dominarch\" = 47: cut to 45, then "...".
        {"C:\\Games\\A rather long folder name xx",
         "C:\\Games\\A rather long folder name xx\\Dominar...",
         "C:\\Games\\A rather long folder name xx\\Dominarch"},
        // Exactly 45 with the subfolder: kept whole.
        {"C:\\Games\\A rather long folder name",
         "C:\\Games\\A rather long folder name\\Dominarch\\",
         "C:\\Games\\A rather long folder name\\Dominarch"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(install::StatusTextOf(c.folder, kGameSubfolder), c.status) << c.folder;
        EXPECT_EQ(install::InstallPathOf(c.folder, kGameSubfolder), c.install_path) << c.folder;
    }
    EXPECT_EQ(install::StatusTextOf("C:\\Games", ""), "C:\\Games\\");
}

TEST(DiskSpace, KilobyteFigures) {
    struct Case {
        uint64_t bytes;
        const char* text;
    } const cases[] = {
        {0, "0KB"},
        {1023, "0KB"},
        {1023999, "999KB"},
        {1024000, "1 000KB"},
        {1000123ull * 1024, "1 000 123KB"},
        {1002003ull * 1024, "1 002 003KB"},
        {install::kInstallSize, "195 312KB"},
        {1024000000, "1 000 000KB"},
        {157286400, "153 600KB"},                          // a 150 MiB drive
        {5000000000000ull * 1024, "5 000 000 000 000KB"},  // beyond 32 bits
    };
    for (const Case& c : cases) {
        EXPECT_EQ(install::FormatKilobytes(c.bytes), c.text) << c.bytes;
    }
}

TEST(DiskSpace, StrictlyMoreThanTheInstallSizeMustBeFree) {
    EXPECT_FALSE(install::HasRoomForInstall(true, 200000000));
    EXPECT_TRUE(install::HasRoomForInstall(true, 200000001));
    EXPECT_FALSE(install::HasRoomForInstall(false, 1ull << 40));  // a failed query never passes
}

}  // namespace
