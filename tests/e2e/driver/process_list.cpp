#include "tests/e2e/driver/process_list.h"

#include <tlhelp32.h>

#include <cstring>

namespace e2e {

namespace {

// Toolhelp may report a full path; only the file name counts.
std::string FileNameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/') {
            name = p + 1;
        }
    }
    return name;
}

}  // namespace

std::vector<ProcessEntry> ListProcesses() {
    std::vector<ProcessEntry> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return processes;
    }
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        processes.push_back(
            {entry.th32ProcessID, entry.th32ParentProcessID, FileNameOf(entry.szExeFile)});
    }
    CloseHandle(snapshot);
    return processes;
}

std::vector<ProcessEntry> FindProcessesByImageName(const std::string& image_name) {
    std::vector<ProcessEntry> found;
    for (const ProcessEntry& entry : ListProcesses()) {
        if (lstrcmpiA(entry.image_name.c_str(), image_name.c_str()) == 0) {
            found.push_back(entry);
        }
    }
    return found;
}

}  // namespace e2e
