#pragma once

// Walk items as the tests compare them, and the ways to collect a whole walk.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "uninstall/tree_walker.h"

namespace uninstall_test {

struct WalkItem {
    std::string name;
    std::string full_path;
    uint8_t directory_flag = 0;

    bool operator==(const WalkItem&) const = default;
};

std::ostream& operator<<(std::ostream& out, const WalkItem& item);

// The expected items for relative '/' paths below root: a file, a folder's announcement, the
// leave marker of a folder.
WalkItem FileItem(const std::string& root, const std::string& relative);
WalkItem FolderItem(const std::string& root, const std::string& relative);
WalkItem LeaveItem(const std::string& root, const std::string& relative);

// The walker's next item into *item; false at the end.
bool Take(CTreeWalker& walker, WalkItem* item);

// Every item of a walk of root through a CTreeWalker, up to its end.
std::vector<WalkItem> WalkWithWalker(const std::string& root);

// Every item of a walk of root through WalkTree, on this thread.
std::vector<WalkItem> WalkOnThisThread(const std::string& root);

}  // namespace uninstall_test
