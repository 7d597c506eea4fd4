// A mouse message's point left of or above a window arrives with negative coordinates; read
// without sign extension it would lie 65536 pixels away.

#include "platform/win32/ui/lparam_point.h"

#include <gtest/gtest.h>

namespace {

TEST(LParamPoint, NegativeCoordinatesKeepTheirSign) {
    const POINT point = PointFromLParam(MAKELPARAM(0xFFFB, 0x8000));
    EXPECT_EQ(point.x, -5);
    EXPECT_EQ(point.y, -32768);
}

TEST(LParamPoint, RoundTrip) {
    for (const POINT point : {POINT{0, 0}, POINT{639, 479}, POINT{-1, 32767}, POINT{-200, -3}}) {
        const POINT back = PointFromLParam(LParamFromPoint(point));
        EXPECT_EQ(back.x, point.x);
        EXPECT_EQ(back.y, point.y);
    }
}

}  // namespace
