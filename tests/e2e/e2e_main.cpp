// The end-to-end program: GoogleTest, plus the Setup.exe to test and a watchdog.
//
//   dominarch_e2e.exe [gtest flags] <path of Setup.exe> [--screenshot=<file.bmp>]
//                     [--game=<stand-in Dominarch.exe>] [--language-library=<resDE.dll>]
//                     [--artifacts=<folder for the pictures of failed checks>]
//                     [--payload=<the game folder Setup.exe carries>] [--small-drives]

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "tests/e2e/e2e_options.h"

namespace e2e {

namespace {

E2eOptions options;

// No single wait can hang a test, but a whole run that still goes on after this long has gone
// wrong somewhere: it ends with a failure rather than never.
constexpr DWORD kWholeRunLimitMs = 10 * 60 * 1000;
constexpr UINT kWatchdogExitCode = 99;

DWORD WINAPI WatchdogThreadProc(void*) {
    Sleep(kWholeRunLimitMs);
    std::fprintf(stderr, "e2e: the run took longer than %lu ms; giving up\n",
                 static_cast<unsigned long>(kWholeRunLimitMs));
    std::fflush(stderr);
    ExitProcess(kWatchdogExitCode);
}

std::string FolderOfThisProgram() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof(path));
    char* slash = std::strrchr(path, '\\');
    if (slash) {
        *slash = '\0';
    }
    return path;
}

}  // namespace

const E2eOptions& Options() {
    return options;
}

}  // namespace e2e

namespace {

// Takes the value of `--name=value` into `value`; false when `argument` is another one.
bool TakeFlag(const char* argument, const char* prefix, std::string* value) {
    const size_t length = std::strlen(prefix);
    if (std::strncmp(argument, prefix, length) != 0) {
        return false;
    }
    *value = argument + length;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    e2e::E2eOptions& options = e2e::options;
    for (int i = 1; i < argc; ++i) {
        if (!TakeFlag(argv[i], "--screenshot=", &options.screenshot_path) &&
            !TakeFlag(argv[i], "--game=", &options.game_path) &&
            !TakeFlag(argv[i], "--language-library=", &options.language_library_path) &&
            !TakeFlag(argv[i], "--artifacts=", &options.artifacts_folder) &&
            !TakeFlag(argv[i], "--payload=", &options.payload_folder) &&
            !TakeFlag(argv[i], "--stub=", &options.stub_path) &&
            !TakeFlag(argv[i], "--signed-setup=", &options.signed_setup_path)) {
            if (std::strcmp(argv[i], "--small-drives") == 0) {
                options.small_drives = true;
                continue;
            }
            options.setup_path = argv[i];
        }
    }
    options.own_folder = e2e::FolderOfThisProgram();
    CloseHandle(CreateThread(nullptr, 0, e2e::WatchdogThreadProc, nullptr, 0, nullptr));
    return RUN_ALL_TESTS();
}
