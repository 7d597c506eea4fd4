#include "app/command_line.h"
#include "platform/arguments.h"

#include <gtest/gtest.h>

namespace {

struct ArgumentsRow {
    const char* command_line;
    const char* arguments;
};

TEST(ArgumentsOf, SkipsTheProgramNameAndTheBlanksAfterIt) {
    const ArgumentsRow rows[] = {
        {"C:\\Games\\Setup.exe", ""},
        {"C:\\Games\\Setup.exe /uninstall", "/uninstall"},
        {"C:\\Games\\Setup.exe  \t /uninstall", "/uninstall"},
        {"C:\\Games\\Setup.exe /uninstall ", "/uninstall "},
        {"\"C:\\Program Files\\Dominarch\\Setup.exe\" /uninstall", "/uninstall"},
        {"\"C:\\Program Files\\Dominarch\\Setup.exe\"/uninstall", "/uninstall"},
        {"\"C:\\Program Files\\Dominarch\\Setup.exe\"", ""},
        {"\"C:\\unterminated quote /uninstall", ""},
        {"x.exe /uninstalling", "/uninstalling"},
        {"", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(platform::ArgumentsOf(row.command_line), row.arguments) << row.command_line;
    }
}

TEST(ArgumentsOf, SkipsTheProgramsOwnPathWithBlanksWhenUnquoted) {
    const char* program = "C:\\Program Files\\Dominarch\\Setup.exe";
    const ArgumentsRow rows[] = {
        {"C:\\Program Files\\Dominarch\\Setup.exe /uninstall", "/uninstall"},
        {"c:\\PROGRAM FILES\\dominarch\\setup.exe /uninstall", "/uninstall"},
        {"C:\\Program Files\\Dominarch\\Setup.exe", ""},
        {"\"C:\\Program Files\\Dominarch\\Setup.exe\" /uninstall", "/uninstall"},
        // A short name or another path is split at its first blank as usual.
        {"C:\\PROGRA~1\\DOMINA~1\\SETUP.EXE /uninstall", "/uninstall"},
        {"C:\\Program Files\\Other\\Setup.exe /uninstall", "Files\\Other\\Setup.exe /uninstall"},
        // The path must end where the program name ends.
        {"C:\\Program Files\\Dominarch\\Setup.exe2 /uninstall",
         "Files\\Dominarch\\Setup.exe2 /uninstall"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(platform::ArgumentsOf(row.command_line, program), row.arguments)
            << row.command_line;
    }
}

TEST(RunModeOf, ComparesTheWholeArgumentsExactly) {
    EXPECT_EQ(app::RunModeOf(""), app::RunMode::kMenu);
    EXPECT_EQ(app::RunModeOf("/uninstall"), app::RunMode::kUninstall);
    EXPECT_EQ(app::RunModeOf("/uninstalling"), app::RunMode::kUninstalling);
    for (const char* other : {"/Uninstall", "/UNINSTALL", "/uninstall ", "/uninstall x",
                              " /uninstall", "/uninstal", "/uninstallingx", "-uninstall"}) {
        EXPECT_EQ(app::RunModeOf(other), app::RunMode::kMenu) << '"' << other << '"';
    }
}

struct PathRow {
    const char* command_line;
    const char* marker;
    const char* path;
};

TEST(GetProgramPath, TakesThePathOutOfQuotedAndUnquotedLines) {
    const PathRow rows[] = {
        // The hand-over's marker needs a blank after ".exe".
        {"C:\\Program Files\\Dominarch\\Setup.exe /uninstall", ".exe ",
         "C:\\Program Files\\Dominarch\\Setup.exe"},
        {"\"C:\\Program Files\\Dominarch\\Setup.exe\" /uninstall", ".exe ",
         "C:\\Program Files\\Dominarch\\Setup.exe"},
        {"\"C:\\Games\\Setup.exe\"", ".exe ", "C:\\Games\\Setup.exe"},
        // Unquoted and without arguments, ".exe " is absent: the first three characters.
        {"C:\\Games\\Setup.exe", ".exe ", "C:\\"},
        // The menu screen's marker.
        {"C:\\Games\\Setup.exe", ".exe", "C:\\Games\\Setup.exe"},
        {"\"C:\\My Games\\Setup.exe\" /x", ".exe", "C:\\My Games\\Setup.exe"},
        {"C:\\Temp\\x.exe /uninstalling", ".exe", "C:\\Temp\\x.exe"},
        // Capitals are not the marker.
        {"D:\\SETUP.EXE /uninstall", ".exe ", "D:\\"},
        {"D:\\SETUP.EXE", ".exe", "D:\\"},
        // Shorter than three characters.
        {"ab", ".exe", "ab"},
        {"", ".exe", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(app::GetProgramPath(row.command_line, row.marker), row.path)
            << row.command_line << " with marker \"" << row.marker << '"';
    }
}

TEST(FolderOfPath, CutsAtTheLastBackslashAfterTheFirstCharacter) {
    EXPECT_EQ(app::FolderOfPath("C:\\Program Files\\Dominarch\\Setup.exe"),
              "C:\\Program Files\\Dominarch");
    EXPECT_EQ(app::FolderOfPath("C:\\Setup.exe"), "C:");
    EXPECT_EQ(app::FolderOfPath("D:\\"), "D:");
    EXPECT_EQ(app::FolderOfPath("\\Setup.exe"), "\\Setup.exe");
    EXPECT_EQ(app::FolderOfPath("Setup.exe"), "Setup.exe");
}

}  // namespace
