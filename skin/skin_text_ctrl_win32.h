#pragma once

// A clickable text item of the menu screen: a borderless child window over a placeholder control
// of its parent's template, showing one string in a bitmap font per look (disabled, normal,
// hover, pressed). A click sends kItemClickedMessage with the item's id to the parent, before the
// button is released; a mouse move over it shows hover and reports the position to the parent
// with kItemHoverMessage; kItemHoverMessage from the parent ends the hover look.

#include <string>

#include "platform/win32/ui/child_window.h"
#include "skin/bitmap_font_win32.h"
#include "skin/item_state.h"

class CSkinTextCtrl : public CChildWindow {
  public:
    CSkinTextCtrl() = default;

    // Creates the item over the parent's control `id` with the string `text_id` of the resources
    // in force and the fonts of the looks 0 to 3 (not owned), and draws it.
    bool Create(CWnd* parent, UINT id, UINT text_id, CBitmapFont* disabled, CBitmapFont* normal,
                CBitmapFont* hover, CBitmapFont* pressed);

    // Loads the string `text_id`, then has the parent repaint the item's rectangle at once, so
    // the background wipes the old text before the item draws the new one.
    void SetText(UINT text_id);
    void SetState(int32_t look);
    void Enable();
    void Disable();

    int32_t GetState() const { return state_.look(); }
    UINT GetId() const { return id_; }
    const std::string& GetText() const { return text_; }

  protected:
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

  private:
    void Draw();
    void DrawOn(HDC dc);
    void RedrawIf(bool changed);
    void OnMouseMove(WPARAM flags, LPARAM position);
    void OnLButtonDown();

    HWND parent_ = nullptr;       // the menu screen; receives the notifications
    UINT id_ = 0;                 // the command id sent on a click
    std::string text_;            // the word drawn
    CBitmapFont* fonts_[4] = {};  // per look, not owned
    ItemState state_;             // normal after construction
};
