#pragma once

// The install sequence's plain questions: each only wraps its template.

#include "platform/win32/ui/dialog.h"
#include "res/resource_ids.h"

// "Install ERROR", the game's folder cannot be created: "Continue" (the default, back to the
// folder browser) ends it with IDOK, "Exit from Installation" with IDCANCEL.
class CCreateDirErrorDlg : public CTemplateDialog<IDD_CREATE_DIR_ERROR> {
  public:
    using CTemplateDialog::CTemplateDialog;
};

// "Install Warning", the game's folder exists: "Overwrite" (the default) ends it with IDOK,
// "Select Another Folder" with IDCANCEL.
class COverwriteDlg : public CTemplateDialog<IDD_OVERWRITE> {
  public:
    using CTemplateDialog::CTemplateDialog;
};

// "Installation ERROR", the system is not of the Windows 95 family: "OK".
class CPlatformErrorDlg : public CTemplateDialog<IDD_PLATFORM_ERROR> {
  public:
    using CTemplateDialog::CTemplateDialog;
};

// "Installer", asked at a first installation: "OK" (the default) ends it with IDOK, "NO Way!"
// with IDCANCEL.
class CDesktopShortcutDlg : public CTemplateDialog<IDD_DESKTOP_SHORTCUT> {
  public:
    using CTemplateDialog::CTemplateDialog;
};
