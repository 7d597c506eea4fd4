#include "engine/progress_indicator_win32.h"

#include "engine/progress_indicator_redraw.h"
#include "platform/win32/ui/device_context.h"
#include "platform/win32/ui/win_app.h"
#include "res/resource_ids.h"

namespace {

constexpr UINT kClassStyle = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
constexpr char kTitle[] = "Progress Indicator Window";
constexpr RECT kPlace = {175, 350, 475, 380};  // in the parent's client area

// The pictures come from the program file itself; the language libraries never replace them.
HBITMAP LoadArtwork(UINT id) {
    return LoadBitmapA(OwnResourceModule(), MAKEINTRESOURCEA(id));
}

// The 1-bit mask turns into black (its 0 bits) and white (its 1 bits) on a colour context only
// with these colours, whatever the context was given before.
void UseMaskColours(HDC dc) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
}

}  // namespace

CProgressIndicator::CProgressIndicator(uint32_t total, uint32_t done)
    : figures_(total, done),
      unlit_(LoadArtwork(IDB_PROGRESS_UNLIT)),
      lit_(LoadArtwork(IDB_PROGRESS_LIT)),
      mask_(LoadArtwork(IDB_PROGRESS_MASK)),
      unlit_dc_(nullptr, unlit_.Get()),
      lit_dc_(nullptr, lit_.Get()),
      mask_dc_(nullptr, mask_.Get()),
      last_drawn_(kNothingDrawn) {
    BITMAP measure;
    if (unlit_dc_.Ready() && lit_dc_.Ready() && mask_dc_.Ready() &&
        GetObjectA(mask_.Get(), sizeof measure, &measure) != 0) {
        width_ = measure.bmWidth;
        height_ = measure.bmHeight;
    }
}

CProgressIndicator::~CProgressIndicator() {
    // The window goes first, so that no paint can reach the pictures as they are deleted.
    DestroyWindow();
}

bool CProgressIndicator::Create(HWND parent) {
    if (!CChildWindow::Create(kClassStyle, kTitle, WS_CHILD | WS_VISIBLE, kPlace, parent)) {
        return false;
    }
    ShowWindow(SW_SHOW);
    return true;
}

void CProgressIndicator::Reset() {
    std::lock_guard<std::mutex> hold(lock_);
    figures_.Reset();
    last_drawn_ = kNothingDrawn;
    RedrawLocked();
}

void CProgressIndicator::SetTotal(uint32_t total) {
    std::lock_guard<std::mutex> hold(lock_);
    figures_.SetTotal(total);
    RedrawLocked();
}

void CProgressIndicator::Advance(uint32_t amount) {
    std::lock_guard<std::mutex> hold(lock_);
    if (figures_.Advance(amount)) {
        RedrawLocked();
    }
}

void CProgressIndicator::Redraw() {
    std::lock_guard<std::mutex> hold(lock_);
    RedrawLocked();
}

void CProgressIndicator::RedrawLocked() {
    const ProgressRedraw plan = PlanProgressRedraw(last_drawn_, figures_.LitWidth(width_));
    if (plan.PaintsNothing() || m_hWnd == nullptr || width_ <= 0) {
        return;
    }
    ClientDC dc(m_hWnd);
    if (dc.Get() == nullptr) {
        return;
    }
    UseMaskColours(dc.Get());
    if (plan.paint_unlit) {
        PaintColumns(dc.Get(), unlit_dc_.Get(), 0, width_);
    }
    if (plan.lit_from < plan.lit_to) {
        PaintColumns(dc.Get(), lit_dc_.Get(), plan.lit_from, plan.lit_to);
    }
    last_drawn_ = plan.lit_to;
}

void CProgressIndicator::PaintColumns(HDC dc, HDC image_dc, int32_t from, int32_t to) const {
    BitBlt(dc, from, 0, to - from, height_, mask_dc_.Get(), from, 0, SRCAND);
    BitBlt(dc, from, 0, to - from, height_, image_dc, from, 0, SRCPAINT);
}

bool CProgressIndicator::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return true;
        case WM_LBUTTONUP:
            OnLButtonUp();
            return false;  // default processing follows
        default:
            return CChildWindow::OnMessage(message, wparam, lparam, result);
    }
}

// The whole picture: unlit from the lit width on, lit before it. The count of columns drawn
// stays as it is; Redraw goes on from there.
void CProgressIndicator::OnPaint() {
    PaintDC paint(m_hWnd);
    const HDC dc = paint.Get();
    if (dc != nullptr && width_ > 0) {
        std::lock_guard<std::mutex> hold(lock_);
        const int32_t lit_width = figures_.LitWidth(width_);
        UseMaskColours(dc);
        BitBlt(dc, 0, 0, width_, height_, mask_dc_.Get(), 0, 0, SRCAND);
        BitBlt(dc, lit_width, 0, width_ - lit_width, height_, unlit_dc_.Get(), lit_width, 0,
               SRCPAINT);
        BitBlt(dc, 0, 0, lit_width, height_, lit_dc_.Get(), 0, 0, SRCPAINT);
    }
}

void CProgressIndicator::OnLButtonUp() {
    cancel_requested_.store(true);
}
