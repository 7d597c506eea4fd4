#pragma once

// The commands of dompack. Each returns the process's exit status and writes its own messages.

#include <string>

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFaulty = 1;  // a faulty pack, a tree that cannot be packed, or a
                                       // failed extraction
inline constexpr int kExitUsage = 2;   // bad usage, or an I/O error

int RunBuild(const std::string& folder, const std::string& out);
int RunList(const std::string& file);
int RunVerify(const std::string& file);
int RunExtract(const std::string& file, const std::string& dir);
// `stub`: the payload-free installer; empty: the one beside this program.
int RunSetup(const std::string& folder, const std::string& out, const std::string& stub);
