#pragma once

// CTreeWalker turns a recursive enumeration of a folder tree into a pull-style sequence of walk
// items for one consumer thread. Its own thread enumerates depth first and hands over one item at
// a time through a single slot, and never runs ahead: the next entry is enumerated only after the
// consumer has taken the current one, so the consumer may delete each file as it comes and remove
// each folder at its leave marker. Links (symbolic links, junctions) are delivered but never
// entered.

#include <cstdint>
#include <string>

class CTreeWalker {
  public:
    // Starts the walk of everything below `root` (root itself is neither announced nor left).
    explicit CTreeWalker(const std::string& root);
    // Stops the walk if it still runs and waits for its thread; never hangs.
    ~CTreeWalker();
    CTreeWalker(const CTreeWalker&) = delete;
    CTreeWalker& operator=(const CTreeWalker&) = delete;

    // Blocks for the next item: true with the entry's own name (".." for the leave marker of a
    // folder), its full path (for a leave marker, the folder being left) and whether it is a
    // folder (1 for folders and leave markers); false at the end of the walk, after which it must
    // not be called again.
    bool GetNext(std::string* name, std::string* full_path, uint8_t* directory_flag);

  private:
    struct Shared;
    Shared* shared_;  // the slot, its lock and events, and the thread; owned
};
