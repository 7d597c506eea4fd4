#pragma once

// The point that mouse messages carry in their LPARAM: x in the low word, y in the high word,
// each a signed 16-bit number (a point left of or above a window is negative), as
// GET_X_LPARAM and GET_Y_LPARAM read it.

#include <windows.h>

inline POINT PointFromLParam(LPARAM lparam) {
    return {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
}

// The LPARAM of a mouse message at `point`; each coordinate is cut to its low 16 bits.
inline LPARAM LParamFromPoint(POINT point) {
    return MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
}
