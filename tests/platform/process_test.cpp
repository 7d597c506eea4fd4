// Starting programs: a start that works, one that cannot, the command line split into arguments
// (double quotes group), and the current folder handed to the new process.

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/process.h"
#include "tests/platform/test_folder.h"

namespace {

using platform::Process;
using platform::ProcessStart;
using platform_test::ReadFile;
using platform_test::TestFolder;

#ifdef _WIN32
const char kSucceed[] = "cmd /c exit 0";
// cmd reads its own command line: everything after /c runs in the new current folder.
const char kWriteArguments[] = "cmd /c echo two words^|last^|> made.txt";
const char kExpectedMade[] = "two words|last|\r\n";
#else
const char kSucceed[] = "/bin/true";
// The shell receives `-c`, the script (one argument thanks to the quotes) and two arguments.
const char kWriteArguments[] =
    "/bin/sh -c \"IFS=; printf '%s|' $0 $1 > made.txt\" \"two words\" last";
const char kExpectedMade[] = "two words|last|";
#endif

TEST(Process, StartsWaitsAndReportsIdle) {
    ProcessStart start;
    start.command_line = kSucceed;
    Process process;
    ASSERT_TRUE(process.Start(start));
    EXPECT_NE(process.Id(), 0u);
#ifndef _WIN32
    EXPECT_EQ(process.WaitForInputIdle(10000), 0u);  // nothing to wait for here
#else
    process.WaitForInputIdle(10000);  // a console program has no input queue to wait for
#endif
    EXPECT_TRUE(process.WaitForExit());
    EXPECT_TRUE(process.WaitForExit());  // an ended process stays ended
}

TEST(Process, AMissingProgramOrFolderDoesNotStart) {
    TestFolder root;
    ProcessStart start;
    start.command_line = "dominarch_no_such_program_here";
    Process process;
    EXPECT_FALSE(process.Start(start));
    EXPECT_FALSE(process.WaitForExit());
    start.command_line.clear();
    start.application = root / "missing.exe";
    EXPECT_FALSE(process.Start(start));
    start.application.clear();
    EXPECT_FALSE(process.Start(start));  // nothing to start
    start.command_line = kSucceed;
    start.current_folder = root / "missing";
    EXPECT_FALSE(process.Start(start));
}

TEST(Process, RunsInTheGivenFolderWithItsArguments) {
    TestFolder root;
    ProcessStart start;
    start.command_line = kWriteArguments;
    start.current_folder = root.path();
    Process process;
    ASSERT_TRUE(process.Start(start));
    ASSERT_TRUE(process.WaitForExit());
    EXPECT_EQ(ReadFile(root / "made.txt"), kExpectedMade);
}

TEST(Process, OwnerMayGoFirst) {
    ProcessStart start;
    start.command_line = kSucceed;
    {
        Process process;
        ASSERT_TRUE(process.Start(start));
    }
    Process again;
    EXPECT_TRUE(again.Start(start));
    EXPECT_TRUE(again.WaitForExit());
}

}  // namespace
