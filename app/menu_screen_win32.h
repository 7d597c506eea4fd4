#pragma once

#include "platform/win32/ui/dialog.h"
#include "platform/win32/ui/gdi_object.h"
#include "res/resource_ids.h"

// The program's main window: a 640 x 480 borderless dialog showing the background picture. It
// runs modally from start-up; Escape ends it and with it the program, Enter does nothing.
class CMenuScreenDlg : public CDialog {
  public:
    enum { IDD = IDD_MENU_SCREEN };

    CMenuScreenDlg();

    // Set by start-up for "/uninstalling": the temporary copy that removes the game.
    void SetUninstallingMode(bool uninstalling) { uninstalling_mode_ = uninstalling; }
    bool IsUninstallingMode() const { return uninstalling_mode_; }

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

  private:
    void PaintMinimised();

    bool uninstalling_mode_ = false;
    HICON icon_ = nullptr;    // shared resource icon; not destroyed
    OwnedBitmap background_;  // shown by the picture control, which does not own it
};
