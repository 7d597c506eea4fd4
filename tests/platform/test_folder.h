#pragma once

// A fresh, uniquely named folder under the temp folder for one test, removed with everything in
// it when the test ends. Built on the platform layer itself, so it also exercises the lister.

#include <string>

namespace platform_test {

class TestFolder {
  public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const;  // path + separator + name

  private:
    std::string path_;
};

// Removes a tree bottom-up; links are removed, never followed.
void RemoveTree(const std::string& path);

// The whole content of a file ("" when it cannot be read), and a file holding `content`.
std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& content);

}  // namespace platform_test
