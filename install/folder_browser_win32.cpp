#include "install/folder_browser_win32.h"

#include "install/folder_browser_rules.h"
#include "platform/win32/ui/dialog.h"

namespace {

constexpr char kDefaultTitle[] = "Select a folder";

// The path of an item id list; empty when the item is not part of the file system.
bool PathOfItem(LPCITEMIDLIST item, char (&buffer)[MAX_PATH]) {
    buffer[0] = '\0';
    return SHGetPathFromIDListA(item, buffer) != FALSE;
}

void FreeItemIdList(LPITEMIDLIST item) {
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator != nullptr) {
        allocator->Free(item);
        allocator->Release();
    }
}

}  // namespace

CFolderBrowser::CFolderBrowser(const char* initial_path, const char* subfolder, const char* title,
                               UINT extra_flags, CWnd* owner)
    : subfolder_(subfolder != nullptr ? subfolder : ""),
      title_(title != nullptr ? title : kDefaultTitle) {
    if (initial_path != nullptr) {
        initial_folder_ = install::InitialFolderOf(initial_path, subfolder_);
    }
    ZeroMemory(&browse_info_, sizeof browse_info_);
    browse_info_.hwndOwner = owner != nullptr ? owner->m_hWnd : nullptr;
    browse_info_.pidlRoot = nullptr;  // the desktop
    browse_info_.pszDisplayName = display_name_;
    browse_info_.lpszTitle = title_.c_str();
    browse_info_.ulFlags = extra_flags | BIF_STATUSTEXT;
    browse_info_.lpfn = &CFolderBrowser::BrowseCallbackProc;
    browse_info_.lParam = reinterpret_cast<LPARAM>(this);
}

int CFolderBrowser::DoModal() {
    selected_folder_ = initial_folder_;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse_info_);
    browse_window_ = nullptr;
    if (chosen == nullptr) {
        return IDCANCEL;
    }
    int result = IDCANCEL;
    if (PathOfItem(chosen, path_buffer_)) {
        selected_folder_ = path_buffer_;
        result = IDOK;
    }
    FreeItemIdList(chosen);
    return result;
}

std::string CFolderBrowser::GetInstallPath() const {
    return install::InstallPathOf(selected_folder_, subfolder_);
}

int CALLBACK CFolderBrowser::BrowseCallbackProc(HWND window, UINT message, LPARAM parameter,
                                                LPARAM data) {
    reinterpret_cast<CFolderBrowser*>(data)->OnBrowseCallback(window, message, parameter);
    return 0;
}

void CFolderBrowser::OnBrowseCallback(HWND window, UINT message, LPARAM parameter) {
    browse_window_ = window;
    switch (message) {
        case BFFM_INITIALIZED:
            OnInitialized();
            break;
        case BFFM_SELCHANGED:
            OnSelChanged(reinterpret_cast<LPCITEMIDLIST>(parameter));
            break;
        default:
            break;
    }
}

void CFolderBrowser::OnInitialized() {
    CenterWindow(browse_window_);  // over the menu screen, like every other question
    SendMessageA(browse_window_, BFFM_SETSELECTIONA, TRUE,
                 reinterpret_cast<LPARAM>(initial_folder_.c_str()));
    SetStatusText(initial_folder_);
}

// From here on the selected folder follows the highlight; an item outside the file system
// makes it empty.
void CFolderBrowser::OnSelChanged(LPCITEMIDLIST item) {
    PathOfItem(item, path_buffer_);
    selected_folder_ = path_buffer_;
    SetStatusText(selected_folder_);
}

void CFolderBrowser::SetStatusText(const std::string& folder) const {
    const std::string text = install::StatusTextOf(folder, subfolder_);
    SendMessageA(browse_window_, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
