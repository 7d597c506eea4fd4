#pragma once

// Captures what a window shows on the screen into an uncompressed 24-bit BMP file
// (scripts/wine/bmp_to_png.py turns it into a PNG).

#include <windows.h>

#include <string>

namespace e2e {

// The window must be on top and unobscured: the pixels come from the screen.
bool CaptureWindowToBmp(HWND window, const std::string& path);

}  // namespace e2e
