#pragma once

// The program's main window: a 640 x 480 borderless dialog showing the background picture and a
// column of skinned menu items. It decides at start-up whether the game is installed and
// dispatches each command; install and uninstall run on other threads and report back with
// kCopyEndedMessage and kRemovalEndedMessage, while the busy flag keeps every further command
// out. It runs modally from start-up; when it ends (Play, Exit, Escape, the end of an uninstall
// in uninstalling mode) the program ends. Escape (or any other close) while a copy or removal
// runs never abandons it: a copy stops at its next record and rolls back as a failed one does, a
// removal runs to its end, and the menu screen ends when the work has reported back.

#include <memory>
#include <string>

#include "app/installer_dialogs_win32.h"
#include "engine/progress_indicator_win32.h"
#include "install/game_registry.h"
#include "platform/win32/ui/dialog.h"
#include "platform/win32/ui/gdi_object.h"
#include "res/resource_ids.h"
#include "skin/bitmap_font_win32.h"
#include "skin/skin_text_ctrl_win32.h"

class CMenuScreenDlg : public CDialog {
  public:
    enum { IDD = IDD_MENU_SCREEN };

    CMenuScreenDlg();

    // Set by start-up for "/uninstalling": the temporary copy that removes the game at once.
    void SetUninstallingMode(bool uninstalling) { uninstalling_mode_ = uninstalling; }
    bool IsUninstallingMode() const { return uninstalling_mode_; }

    // Stores the language and reloads the items' texts from its resources.
    void SetLanguage(int index);
    int GetLanguage() const { return language_index_; }

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

  private:
    // The items, in the order of their fields.
    enum Item { kPlay, kInstall, kUninstall, kViewReadMe, kExit, kLanguageItem, kItemCount };

    void LoadFonts();
    void CreateItems();
    void ReadInstallState();
    void LoadTexts();
    void ReloadLanguage();
    void EnableAllItems();
    void DisableAllItems();

    void OnCommand(UINT command);
    void Play();
    void Install();
    void Uninstall();
    void ViewReadMe();
    void OnInstallationFinished(int result);
    void OnUninstallationFinished();
    void EndIfAsked();
    ProgressIndicator* ShowProgressIndicator(uint32_t total);
    void OnMouseMove(WPARAM flags, LPARAM position);
    void OnItemHover(WPARAM flags, LPARAM position);
    void PaintMinimised();

    std::string program_folder_;  // current directory while commands run
    bool uninstalling_mode_ = false;
    int language_index_ = 0;
    CSkinTextCtrl items_[kItemCount];
    int busy_ = 0;  // an install or uninstall runs
    // The work whose end message is awaited. An end message that comes while none is awaited
    // (another program can post WM_USER+1 or +2 to any window) is ignored: it would register
    // the program's folder as the game's, or reset the menu.
    enum class Work { kNone, kCopy, kRemoval } awaited_ = Work::kNone;
    bool ending_ = false;                 // asked to end while busy: ends once the work has ended
    CInstallerDialogHost dialogs_{this};  // the questions of install and uninstall
    std::unique_ptr<CProgressIndicator> indicator_;  // shown while an install or uninstall runs
    int drag_flags_ = 0;                             // bit 0: the window is being dragged
    POINT drag_start_ = {};       // cursor, in screen coordinates, when the drag began
    POINT window_origin_ = {};    // window's top-left when the drag began
    std::string install_folder_;  // where the game is or is to be
    game_registry::InstallState install_state_ = game_registry::InstallState::kNotInstalled;
    CBitmapFont fonts_[4];    // per item look: disabled, normal, hover, pressed
    HICON icon_ = nullptr;    // shared resource icon; not destroyed
    OwnedBitmap background_;  // shown by the picture control, which does not own it
};
