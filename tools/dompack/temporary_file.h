#pragma once

// A file created under a temporary name beside its final path, removed unless committed: what a
// command writes appears under its final name whole, or not at all. While it exists, a signal
// that stops the process (SIGINT, SIGTERM, SIGHUP) removes it first. One at a time.

#include <string>

class TemporaryFile {
  public:
    TemporaryFile() = default;
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Creates it beside `final_path`, with the mode a new file normally gets; errno on failure.
    bool Create(const std::string& final_path);
    // Closes the file and renames it to `final_path`; errno on failure.
    bool Commit(const std::string& final_path);

    int fd() const { return fd_; }

  private:
    int fd_ = -1;
    std::string path_;  // empty once committed
};
