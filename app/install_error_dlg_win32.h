#pragma once

#include <string>

#include "platform/win32/ui/dialog.h"
#include "res/resource_ids.h"

// "Install ERROR" with the caller's words (what failed and why) and one "OK".
class CInstallErrorDlg : public CDialog {
  public:
    enum { IDD = IDD_INSTALL_ERROR };
    CInstallErrorDlg(CWnd* parent, std::string text)
        : CDialog(IDD, parent), text_(std::move(text)) {}

  protected:
    BOOL OnInitDialog() override {
        SetDlgItemTextA(m_hWnd, IDC_MESSAGE_TEXT, text_.c_str());
        return TRUE;
    }

  private:
    std::string text_;
};
