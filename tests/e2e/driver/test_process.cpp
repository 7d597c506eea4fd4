#include "tests/e2e/driver/test_process.h"

#include <utility>
#include <vector>

#include "tests/e2e/driver/timeouts.h"

namespace e2e {

namespace {

constexpr DWORD kAttachAccess =
    SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE;

}  // namespace

TestProcess::~TestProcess() {
    Release();
}

TestProcess::TestProcess(TestProcess&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), id_(std::exchange(other.id_, 0)) {}

TestProcess& TestProcess::operator=(TestProcess&& other) noexcept {
    if (this != &other) {
        Release();
        handle_ = std::exchange(other.handle_, nullptr);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

bool TestProcess::Start(const std::string& application, const std::string& command_line,
                        const std::string& current_folder) {
    Release();
    // CreateProcessA may write into the command line, so it gets a private copy.
    std::vector<char> line(command_line.begin(), command_line.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(application.empty() ? nullptr : application.c_str(), line.data(), nullptr,
                        nullptr, FALSE, 0, nullptr,
                        current_folder.empty() ? nullptr : current_folder.c_str(), &startup,
                        &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    handle_ = info.hProcess;
    id_ = info.dwProcessId;
    return true;
}

bool TestProcess::Attach(DWORD id) {
    Release();
    handle_ = OpenProcess(kAttachAccess, FALSE, id);
    id_ = handle_ ? id : 0;
    return handle_ != nullptr;
}

bool TestProcess::IsRunning() const {
    return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

bool TestProcess::WaitForExit(DWORD timeout_ms, DWORD* exit_code) const {
    if (!handle_ || WaitForSingleObject(handle_, timeout_ms) != WAIT_OBJECT_0) {
        return false;
    }
    if (exit_code) {
        return GetExitCodeProcess(handle_, exit_code) != 0;
    }
    return true;
}

void TestProcess::Terminate() {
    if (IsRunning()) {
        TerminateProcess(handle_, 1);
        WaitForSingleObject(handle_, kDefaultTimeoutMs);
    }
}

void TestProcess::Release() {
    if (handle_) {
        Terminate();
        CloseHandle(handle_);
    }
    handle_ = nullptr;
    id_ = 0;
}

bool TerminateProcessById(DWORD id) {
    TestProcess process;
    if (!process.Attach(id)) {
        return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process (any more)
    }
    process.Terminate();
    return !process.IsRunning();
}

}  // namespace e2e
