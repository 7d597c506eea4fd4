#pragma once

// The depth-first enumeration behind CTreeWalker, with no thread of its own: it hands each item
// to a sink on the calling thread, so a test can drive it step by step. A folder is announced
// before its contents and left (name "..", the folder's full path, directory flag 1) after them,
// once its own enumeration is closed. Links are never entered: a symbolic link (POSIX) comes as a
// file; a link or junction to a folder (Windows) comes as an empty folder, announced and left.

#include <cstdint>
#include <string>

class WalkSink {
  public:
    virtual ~WalkSink() = default;
    // Takes one item; false asks the walk to stop, which closes every open enumeration.
    virtual bool Deliver(const std::string& name, const std::string& full_path,
                         uint8_t directory_flag) = 0;
};

// Walks everything below `root` (root itself is neither announced nor left). A folder that cannot
// be enumerated, at any depth, simply has no contents. False when the sink stopped the walk.
bool WalkTree(const std::string& root, WalkSink& sink);
