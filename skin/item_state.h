#pragma once

// The rules of a skinned menu item's look: disabled (0), normal (1), hover (2), pressed (3). Each
// operation says whether the look changed, so the item redraws only then. A disabled item stays
// disabled until it is enabled: mouse input and SetState leave it alone.

#include <cstdint>

enum ItemLook : int32_t {
    kItemDisabled = 0,
    kItemNormal = 1,
    kItemHover = 2,
    kItemPressed = 3,
};

class ItemState {
  public:
    int32_t look() const { return look_; }

    // Takes `look` when the item is not disabled and shows another look.
    bool SetState(int32_t look);
    bool Enable();   // disabled -> normal
    bool Disable();  // any other look -> disabled

    // The mouse moved over the item: normal, or pressed with the left button up, shows hover.
    bool OnMouseMove(bool left_button_down);
    // The parent ends the hover look: hover or pressed return to normal.
    bool OnHoverEnd();
    // The left button went down: false for a disabled item (nothing happens at all); otherwise
    // the item shows pressed and the click counts.
    bool OnButtonDown();

  private:
    int32_t look_ = kItemNormal;
};
