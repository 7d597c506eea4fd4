#pragma once

// Folder trees for the walker and removal tests, written and read back with relative paths that
// use '/' on every platform; a folder's path ends in '/'.

#include <string>
#include <vector>

namespace uninstall_test {

// root joined with a relative '/' path, in the platform's own form.
std::string PathIn(const std::string& root, const std::string& relative);

// Creates every entry below root, in order: "a/" a folder, "a/f.txt" a file holding its own path.
// A failure is reported to the running test.
void MakeTree(const std::string& root, const std::vector<std::string>& entries);

// Everything below root, sorted; links are listed, never followed. Empty for a missing root.
std::vector<std::string> ListTree(const std::string& root);

}  // namespace uninstall_test
