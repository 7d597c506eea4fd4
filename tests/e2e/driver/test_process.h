#pragma once

// A process under test: started by the driver or attached to by id. The owner makes sure nothing
// outlives a test: the destructor terminates the process if it still runs.

#include <windows.h>

#include <string>

namespace e2e {

class TestProcess {
  public:
    TestProcess() = default;
    ~TestProcess();
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;
    TestProcess(TestProcess&& other) noexcept;
    TestProcess& operator=(TestProcess&& other) noexcept;

    // Starts a program with CreateProcessA. `application` may be empty (then the command line
    // names the program); an empty `current_folder` inherits the driver's.
    bool Start(const std::string& application, const std::string& command_line,
               const std::string& current_folder);
    // Takes a process the driver did not start (found by id) under its care.
    bool Attach(DWORD id);

    bool Valid() const { return handle_ != nullptr; }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return handle_; }
    bool IsRunning() const;
    // Waits until the process ends; false on timeout. Stores its exit code when asked.
    bool WaitForExit(DWORD timeout_ms, DWORD* exit_code = nullptr) const;
    // Ends the process (if it runs) and waits for it to be gone.
    void Terminate();

  private:
    void Release();

    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

// Ends a process the driver knows only by id; true when it is gone afterwards.
bool TerminateProcessById(DWORD id);

}  // namespace e2e
