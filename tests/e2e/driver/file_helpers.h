#pragma once

// Small file chores of the end-to-end tests, in Windows paths.

#include <string>

namespace e2e {

// GetTempPathA's answer: the temp folder with its trailing backslash ("" on failure).
std::string TempFolder();

bool FileExists(const std::string& path);
bool ReadWholeFile(const std::string& path, std::string* bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// True when the file is gone afterwards (also when it never existed).
bool DeleteFileIfPresent(const std::string& path);
// Creates the folder and any missing parents.
bool CreateFolders(const std::string& path);
// Removes an empty folder and then its parents as far as they are empty, up to (not including)
// `stop_at`.
void RemoveEmptyFolders(const std::string& path, const std::string& stop_at);

// Compares two Windows folder names, letter case and a trailing backslash ignored.
bool SameFolder(const std::string& a, const std::string& b);

}  // namespace e2e
