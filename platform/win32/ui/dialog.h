#pragma once

// A modal dialog from a template in the resource module in force. The dialog procedure hands
// every message to OnMessage, which a derived class overrides as its message map; the button
// with id IDOK calls OnOK, IDCANCEL (also Escape and the close box) calls OnCancel. DoModal
// returns the value the dialog ended with.

#include "platform/win32/ui/wnd.h"

// Centres a window on its owner when the owner is visible and not minimised, otherwise on the
// screen's work area: where every dialog appears that does not place itself.
void CenterWindow(HWND hwnd);

class CDialog : public CWnd {
  public:
    CDialog(UINT template_id, CWnd* parent) : template_id_(template_id), parent_(parent) {}

    INT_PTR DoModal();

  protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // A click on IDOK calls OnOK, on IDCANCEL OnCancel.
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

    void EndDialog(INT_PTR code) { ::EndDialog(m_hWnd, code); }

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    INT_PTR HandleInitDialog();
    INT_PTR Dispatch(UINT message, WPARAM wparam, LPARAM lparam);

    UINT template_id_;
    CWnd* parent_;
};

// A dialog class that only wraps its template: id 1 ends it with IDOK, id 2 with IDCANCEL.
template <UINT kTemplate>
class CTemplateDialog : public CDialog {
  public:
    enum { IDD = kTemplate };
    explicit CTemplateDialog(CWnd* parent = nullptr) : CDialog(IDD, parent) {}
};
