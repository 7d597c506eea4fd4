#pragma once

// The processes of the system, from a toolhelp snapshot.

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

struct ProcessEntry {
    DWORD id = 0;
    DWORD parent_id = 0;
    std::string image_name;  // the executable's file name, e.g. "x.exe"
};

std::vector<ProcessEntry> ListProcesses();

// The processes whose image name is `image_name` (letter case ignored, as Windows names files).
std::vector<ProcessEntry> FindProcessesByImageName(const std::string& image_name);

}  // namespace e2e
