#include "skin/item_state.h"

bool ItemState::SetState(int32_t look) {
    if (look_ <= kItemDisabled || look_ == look) {
        return false;
    }
    look_ = look;
    return true;
}

bool ItemState::Enable() {
    if (look_ > kItemDisabled) {
        return false;
    }
    look_ = kItemNormal;
    return true;
}

bool ItemState::Disable() {
    if (look_ < kItemNormal) {
        return false;
    }
    look_ = kItemDisabled;
    return true;
}

bool ItemState::OnMouseMove(bool left_button_down) {
    if (look_ == kItemNormal || (look_ == kItemPressed && !left_button_down)) {
        return SetState(kItemHover);
    }
    return false;
}

bool ItemState::OnHoverEnd() {
    if (look_ == kItemHover || look_ == kItemPressed) {
        return SetState(kItemNormal);
    }
    return false;
}

bool ItemState::OnButtonDown() {
    if (look_ == kItemDisabled) {
        return false;
    }
    SetState(kItemPressed);
    return true;
}
