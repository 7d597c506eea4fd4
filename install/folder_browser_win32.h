#pragma once

// The folder picker of the shell (SHBrowseForFolderA) with a status line under its tree that
// tells where the game will go: the highlighted folder plus the game's subfolder. It opens on
// the folder that holds the proposed install folder and hands back both the folder picked and
// the install path made from it. One browser serves one DoModal.

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <string>

#include "platform/win32/ui/wnd.h"

class CFolderBrowser {
  public:
    // `initial_path` and `title` may be null ("Select a folder" is the title then).
    CFolderBrowser(const char* initial_path, const char* subfolder, const char* title,
                   UINT extra_flags, CWnd* owner);
    virtual ~CFolderBrowser() = default;
    CFolderBrowser(const CFolderBrowser&) = delete;
    CFolderBrowser& operator=(const CFolderBrowser&) = delete;

    // 1 when a file-system folder was chosen; 2 when the picker was cancelled or the choice is
    // not part of the file system. After a cancel the selected folder is the one highlighted
    // last.
    virtual int DoModal();

    std::string GetInstallPath() const;
    std::string GetSelectedFolder() const { return selected_folder_; }

  protected:
    virtual void OnInitialized();
    virtual void OnSelChanged(LPCITEMIDLIST item);
    virtual void OnBrowseCallback(HWND window, UINT message, LPARAM parameter);

  private:
    static int CALLBACK BrowseCallbackProc(HWND window, UINT message, LPARAM parameter,
                                           LPARAM data);
    void SetStatusText(const std::string& folder) const;

    BROWSEINFOA browse_info_;           // the picker's parameter record
    std::string initial_folder_;        // the folder the picker opens on
    std::string selected_folder_;       // highlighted or chosen last
    std::string subfolder_;             // appended to the folder picked
    std::string title_;                 // shown above the tree; browse_info_ points at it
    char display_name_[MAX_PATH] = {};  // receives the chosen item's display name
    char path_buffer_[MAX_PATH] = {};   // receives SHGetPathFromIDListA's answers
    HWND browse_window_ = nullptr;      // the picker, while DoModal runs
};
