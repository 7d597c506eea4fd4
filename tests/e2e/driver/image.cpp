#include "tests/e2e/driver/image.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace e2e {

namespace {

int Channel(uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

bool Close(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ImageOfBitmap(HBITMAP bitmap, Image* image) {
    BITMAP info = {};
    if (!GetObjectA(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
        return false;
    }
    BITMAPINFO request = {};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;  // top row first
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    image->width = info.bmWidth;
    image->height = info.bmHeight;
    image->pixels.assign(static_cast<size_t>(info.bmWidth) * info.bmHeight, 0);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight),
                               image->pixels.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (uint32_t& pixel : image->pixels) {
        pixel &= 0xFFFFFF;
    }
    return rows == info.bmHeight;
}

bool CaptureScreenRect(const RECT& rect, Image* image) {
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    bool ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != 0;
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    ok = ok && ImageOfBitmap(bitmap, image);
    DeleteObject(bitmap);
    return ok;
}

size_t CountDifferentPixels(const Image& a, const Image& b, int tolerance) {
    if (a.width != b.width || a.height != b.height) {
        return std::max(a.pixels.size(), b.pixels.size());
    }
    size_t different = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        different += Close(a.pixels[i], b.pixels[i], tolerance) ? 0 : 1;
    }
    return different;
}

bool SaveImageAsBmp(const Image& image, const std::string& path) {
    const LONG row_bytes = (image.width * 3 + 3) & ~3;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = image.width;
    header.biHeight = image.height;  // bottom row first
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(row_bytes * image.height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + header.biSizeImage;

    std::string rows(header.biSizeImage, '\0');
    for (LONG y = 0; y < image.height; ++y) {
        char* row = rows.data() + static_cast<size_t>((image.height - 1 - y) * row_bytes);
        for (LONG x = 0; x < image.width; ++x) {
            const uint32_t pixel = image.At(x, y);
            row[x * 3] = static_cast<char>(pixel & 0xFF);
            row[x * 3 + 1] = static_cast<char>((pixel >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((pixel >> 16) & 0xFF);
        }
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
    return static_cast<bool>(out);
}

}  // namespace e2e
