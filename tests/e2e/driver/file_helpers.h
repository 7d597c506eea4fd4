#pragma once

// Small file chores of the end-to-end tests, in Windows paths.

#include <cstdint>
#include <map>
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

// Every folder and file below `root`, by path relative to it ('\' between names): a folder as
// kFolderEntry, a file as its bytes. Links are listed as kLinkEntry and never entered. False
// when `root` or anything below it cannot be read.
inline constexpr char kFolderEntry[] = "<folder>";
inline constexpr char kLinkEntry[] = "<link>";
using TreeEntries = std::map<std::string, std::string>;
bool ReadTree(const std::string& root, TreeEntries* entries);
// Removes a tree bottom-up; links are removed, never followed. True when it is gone.
bool RemoveTree(const std::string& path);
// A file of `size` bytes (zeros), written in large pieces.
bool WriteFileOfSize(const std::string& path, uint64_t size);

// Compares two Windows folder names, letter case and a trailing backslash ignored.
bool SameFolder(const std::string& a, const std::string& b);

}  // namespace e2e
