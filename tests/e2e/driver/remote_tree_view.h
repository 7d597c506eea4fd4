#pragma once

// A tree view control of another process, read and worked as a user would: its items' texts
// are fetched through a buffer allocated in that process (the control writes them there), and
// items are expanded and selected with the control's own messages, so the owner of the tree sees
// the same notifications a click would give it.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <vector>

namespace e2e {

class RemoteTreeView {
  public:
    explicit RemoteTreeView(HWND tree);
    ~RemoteTreeView();
    RemoteTreeView(const RemoteTreeView&) = delete;
    RemoteTreeView& operator=(const RemoteTreeView&) = delete;

    bool Valid() const { return remote_ != nullptr; }

    HTREEITEM Root() const;
    // The children of `item`, expanding it first (which makes the owner fill it).
    std::vector<HTREEITEM> Children(HTREEITEM item) const;
    std::string Text(HTREEITEM item) const;
    HTREEITEM Selection() const;
    bool Select(HTREEITEM item) const;

    // The item of a Windows folder such as C:\Games\Picked: the drive's item (the one whose text
    // ends in "(C:)", found below the root at any depth up to three), then each name in turn,
    // letter case ignored. Null when any step is missing.
    HTREEITEM FindFolder(const std::string& path) const;

  private:
    HWND tree_;
    HANDLE process_ = nullptr;
    void* remote_ = nullptr;  // in the tree's process: one TVITEMA and its text buffer
};

}  // namespace e2e
