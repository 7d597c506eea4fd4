#pragma once

// Pictures the tests compare: what the screen shows in a rectangle, or what a test renders
// itself, as 32-bit pixels (0x00RRGGBB), top row first.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct Image {
    LONG width = 0;
    LONG height = 0;
    std::vector<uint32_t> pixels;  // width * height, row by row from the top

    uint32_t At(LONG x, LONG y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

// Copies a rectangle of the screen (screen coordinates). The pixels come from the screen, so
// whatever lies over the rectangle is what is read.
bool CaptureScreenRect(const RECT& rect, Image* image);

// The pixels of a bitmap (not selected into any device context).
bool ImageOfBitmap(HBITMAP bitmap, Image* image);

// How many pixels of two pictures of the same size differ by more than `tolerance` in any
// colour channel; every pixel counts as different when the sizes differ.
size_t CountDifferentPixels(const Image& a, const Image& b, int tolerance = 0);

// Writes an uncompressed 24-bit BMP (scripts/wine/bmp_to_png.py turns it into a PNG).
bool SaveImageAsBmp(const Image& image, const std::string& path);

}  // namespace e2e
