#include "skin/skin_text_ctrl_win32.h"

#include "platform/win32/ui/device_context.h"
#include "platform/win32/ui/lparam_point.h"
#include "platform/win32/ui/win_app.h"
#include "platform/win32/ui/window_messages.h"

namespace {

// The rectangle of the parent's control `id`, in the parent's client coordinates.
bool PlaceholderRect(HWND parent, UINT id, RECT* rect) {
    HWND placeholder = GetDlgItem(parent, static_cast<int>(id));
    if (placeholder == nullptr || !GetWindowRect(placeholder, rect)) {
        return false;
    }
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(rect), 2);
    return true;
}

}  // namespace

bool CSkinTextCtrl::Create(CWnd* parent, UINT id, UINT text_id, CBitmapFont* disabled,
                           CBitmapFont* normal, CBitmapFont* hover, CBitmapFont* pressed) {
    parent_ = parent->m_hWnd;
    id_ = id;
    fonts_[kItemDisabled] = disabled;
    fonts_[kItemNormal] = normal;
    fonts_[kItemHover] = hover;
    fonts_[kItemPressed] = pressed;
    text_ = LoadResourceString(text_id);
    RECT rect;
    if (!PlaceholderRect(parent_, id, &rect) ||
        !CChildWindow::Create(CS_GLOBALCLASS, nullptr, WS_CHILD | WS_VISIBLE, rect, parent_)) {
        return false;
    }
    Draw();
    return true;
}

void CSkinTextCtrl::SetText(UINT text_id) {
    text_ = LoadResourceString(text_id);
    RECT rect;
    GetWindowRect(m_hWnd, &rect);
    MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&rect), 2);
    InvalidateRect(parent_, &rect, TRUE);
    UpdateWindow(parent_);
}

void CSkinTextCtrl::SetState(int32_t look) {
    RedrawIf(state_.SetState(look));
}

void CSkinTextCtrl::Enable() {
    RedrawIf(state_.Enable());
}

void CSkinTextCtrl::Disable() {
    RedrawIf(state_.Disable());
}

void CSkinTextCtrl::RedrawIf(bool changed) {
    if (changed) {
        Draw();
    }
}

void CSkinTextCtrl::Draw() {
    if (m_hWnd == nullptr) {
        return;
    }
    ClientDC dc(m_hWnd);
    DrawOn(dc.Get());
}

void CSkinTextCtrl::DrawOn(HDC dc) {
    if (CBitmapFont* font = fonts_[state_.look()]) {
        font->Draw(dc, 0, 0, text_.c_str());
    }
}

bool CSkinTextCtrl::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    switch (message) {
        case WM_PAINT: {
            PaintDC paint(m_hWnd);
            DrawOn(paint.Get());
            return true;
        }
        case WM_MOUSEMOVE:
            OnMouseMove(wparam, lparam);
            return false;  // default processing follows
        case kItemHoverMessage:
            RedrawIf(state_.OnHoverEnd());
            return true;
        case WM_LBUTTONDOWN:
            if (state_.look() == kItemDisabled) {
                return true;  // a disabled item swallows the click
            }
            OnLButtonDown();
            return false;  // default processing follows
        default:
            return CChildWindow::OnMessage(message, wparam, lparam, result);
    }
}

// Shows hover, then tells the parent where the mouse is, in the parent's client coordinates.
void CSkinTextCtrl::OnMouseMove(WPARAM flags, LPARAM position) {
    RedrawIf(state_.OnMouseMove((flags & MK_LBUTTON) != 0));
    POINT point = PointFromLParam(position);
    MapWindowPoints(m_hWnd, parent_, &point, 1);
    ::SendMessageA(parent_, kItemHoverMessage, flags, LParamFromPoint(point));
}

// The command runs inside this handler (the parent's handler is sent, not posted), so any
// dialog it opens is up while the item still looks pressed.
void CSkinTextCtrl::OnLButtonDown() {
    const int32_t before = state_.look();
    state_.OnButtonDown();
    RedrawIf(state_.look() != before);
    ::SendMessageA(parent_, kItemClickedMessage, id_, 0);
}
