#pragma once

// Reads another process's command line and current folder from its process parameters (the
// PEB's RTL_USER_PROCESS_PARAMETERS), the way a debugger does. 32-bit processes only.

#include <windows.h>

#include <string>

namespace e2e {

struct ProcessParams {
    std::string command_line;
    std::string current_folder;  // as the process keeps it: with a trailing backslash
};

// `process` needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ. False when anything cannot be
// read; `params` is then unspecified.
bool ReadProcessParams(HANDLE process, ProcessParams* params);

}  // namespace e2e
