#pragma once

// A program file or library opened only to read its resources (LoadLibraryEx as a data file):
// nothing of it runs.

#include <windows.h>

#include <string>

namespace e2e {

class DataModule {
  public:
    DataModule() = default;
    ~DataModule();
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;

    bool Open(const std::string& path);
    HMODULE Get() const { return module_; }

    // The bytes of resource `id` of `type`; false when it has none.
    bool Resource(const char* type, int id, std::string* bytes) const;
    // String `id` of its string table; empty when it has none.
    std::string String(UINT id) const;

  private:
    HMODULE module_ = nullptr;
};

}  // namespace e2e
