#pragma once

// What the end-to-end program was told on its command line.

#include <string>

namespace e2e {

struct E2eOptions {
    std::string setup_path;       // Windows path of the Setup.exe under test
    std::string screenshot_path;  // where to save the menu screen as BMP; empty: no screenshot
    std::string game_path;        // Windows path of the stand-in Dominarch.exe
    std::string language_library_path;  // Windows path of a language library (resDE.dll)
    std::string artifacts_folder;       // where failing tests leave pictures; empty: nowhere
    std::string own_folder;             // folder of this program (the fixture lies beside it)
    std::string payload_folder;         // Windows path of the game folder Setup.exe carries
    std::string stub_path;          // the payload-free installer, which the pack holds as Setup.exe
    std::string signed_setup_path;  // Setup.exe signed as a publisher signs it
    // The run script mounted the small file systems of the disk-space tests (see run_e2e.sh).
    bool small_drives = false;
};

const E2eOptions& Options();

}  // namespace e2e
