#pragma once

#include <cstdint>

#include "platform/win32/ui/dialog.h"
#include "res/resource_ids.h"

// "Install Warning", too little free space: shows the bytes required and available in
// kilobytes and leaves the user's answer in its disk space result: 1000 "Continue
// Installation", 1001 "Choose Another Drive" (the default, also Enter), 1002 "Retry", 1003
// "Exit Setup" (also Escape and the close box).
class CDiskSpaceDlg : public CDialog {
  public:
    enum { IDD = IDD_DISK_SPACE };

    explicit CDiskSpaceDlg(CWnd* parent = nullptr) : CDialog(IDD, parent) {}

    void SetValues(uint32_t required_low, uint32_t required_high, uint32_t available_low,
                   uint32_t available_high, int query_failed);
    int DiskSpaceResult() const { return disk_space_result_; }

  protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

  private:
    void Answer(int disk_space_result);

    uint64_t required_ = 0;      // bytes needed
    uint64_t available_ = 0;     // bytes free; 0 when the query failed
    int query_failed_ = 0;       // nonzero: the free space could not be told
    int disk_space_result_ = 0;  // 1000-1003, set by every way out of the dialog
};
