#pragma once

// Starting other programs.

#include <cstdint>
#include <string>

namespace platform {

struct ProcessStart {
    std::string application;      // empty: taken from the command line
    std::string command_line;     // Windows rules: the program, then its arguments
    std::string current_folder;   // empty: inherited
    uint32_t creation_flags = 0;  // Win32 creation flags; ignored elsewhere
};

// A started process; its handles are released by the destructor (the process runs on).
class Process {
  public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Start(const ProcessStart& start);
    // Waits until the process waits for input; 0 as Win32's WaitForInputIdle reports success.
    uint32_t WaitForInputIdle(uint32_t milliseconds);
    bool WaitForExit();
    uint32_t Id() const { return id_; }

  private:
    void* process_ = nullptr;  // HANDLE, or the POSIX back end's state
    uint32_t id_ = 0;
};

}  // namespace platform
