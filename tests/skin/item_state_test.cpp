// The look rules of a skinned menu item.

#include "skin/item_state.h"

#include <gtest/gtest.h>

namespace {

ItemState InLook(int32_t look) {
    ItemState state;
    if (look == kItemDisabled) {
        state.Disable();
    } else {
        state.SetState(look);
    }
    return state;
}

TEST(ItemState, ADisabledItemIgnoresTheMouseAndSetState) {
    ItemState state = InLook(kItemDisabled);
    EXPECT_FALSE(state.OnButtonDown());
    EXPECT_FALSE(state.OnMouseMove(false));
    EXPECT_FALSE(state.OnHoverEnd());
    EXPECT_FALSE(state.SetState(kItemHover));
    EXPECT_FALSE(state.Disable());
    EXPECT_EQ(state.look(), kItemDisabled);
    EXPECT_TRUE(state.Enable());
    EXPECT_EQ(state.look(), kItemNormal);
}

TEST(ItemState, EnableLeavesAnEnabledLookAlone) {
    ItemState state = InLook(kItemHover);
    EXPECT_FALSE(state.Enable());
    EXPECT_EQ(state.look(), kItemHover);
    EXPECT_TRUE(state.Disable());
    EXPECT_TRUE(state.Enable());
    EXPECT_EQ(state.look(), kItemNormal);
}

struct MoveRow {
    int32_t from;
    bool button_down;
    int32_t to;
};

TEST(ItemState, MouseMovesShowHoverExceptWhilePressedWithTheButtonDown) {
    const MoveRow rows[] = {
        {kItemNormal, false, kItemHover},   {kItemNormal, true, kItemHover},
        {kItemHover, false, kItemHover},    {kItemPressed, false, kItemHover},
        {kItemPressed, true, kItemPressed},
    };
    for (const auto& row : rows) {
        ItemState state = InLook(row.from);
        EXPECT_EQ(state.OnMouseMove(row.button_down), row.from != row.to);
        EXPECT_EQ(state.look(), row.to) << row.from << (row.button_down ? " down" : " up");
    }
}

TEST(ItemState, TheParentsHoverEndReturnsHoverAndPressedToNormal) {
    for (int32_t look : {kItemHover, kItemPressed}) {
        ItemState state = InLook(look);
        EXPECT_TRUE(state.OnHoverEnd());
        EXPECT_EQ(state.look(), kItemNormal);
    }
    ItemState normal;
    EXPECT_FALSE(normal.OnHoverEnd());
}

TEST(ItemState, AButtonPressCountsAndShowsPressed) {
    for (int32_t look : {kItemNormal, kItemHover, kItemPressed}) {
        ItemState state = InLook(look);
        EXPECT_TRUE(state.OnButtonDown());
        EXPECT_EQ(state.look(), kItemPressed);
    }
}

}  // namespace
