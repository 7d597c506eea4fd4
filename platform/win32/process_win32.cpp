// Processes through CreateProcessA with a zeroed STARTUPINFOA. The process handle is kept for the
// waits and closed by the destructor; the process itself runs on.

#include <windows.h>

#include <vector>

#include "platform/process.h"

namespace platform {

Process::~Process() {
    if (process_ != nullptr) {
        CloseHandle(static_cast<HANDLE>(process_));
    }
}

bool Process::Start(const ProcessStart& start) {
    if (process_ != nullptr) {
        return false;
    }
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::vector<char> command_line(start.command_line.begin(), start.command_line.end());
    command_line.push_back('\0');
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof info);
    if (!CreateProcessA(start.application.empty() ? nullptr : start.application.c_str(),
                        command_line.data(), nullptr, nullptr, FALSE, start.creation_flags, nullptr,
                        start.current_folder.empty() ? nullptr : start.current_folder.c_str(),
                        &startup, &info)) {
        return false;
    }
    process_ = info.hProcess;
    CloseHandle(info.hThread);
    id_ = info.dwProcessId;
    return true;
}

uint32_t Process::WaitForInputIdle(uint32_t milliseconds) {
    if (process_ == nullptr) {
        return WAIT_FAILED;
    }
    return ::WaitForInputIdle(static_cast<HANDLE>(process_), milliseconds);
}

bool Process::WaitForExit() {
    return process_ != nullptr &&
           WaitForSingleObject(static_cast<HANDLE>(process_), INFINITE) == WAIT_OBJECT_0;
}

}  // namespace platform
