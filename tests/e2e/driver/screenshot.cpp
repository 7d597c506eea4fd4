#include "tests/e2e/driver/screenshot.h"

#include <fstream>
#include <vector>

namespace e2e {

namespace {

// Rows of a 24-bit DIB are padded to four bytes.
LONG RowBytes(LONG width) {
    return (width * 3 + 3) & ~3;
}

// Copies the screen rectangle into a bottom-up 24-bit DIB; false when GDI refuses.
bool GrabScreenRect(const RECT& rect, BITMAPINFOHEADER* header, std::vector<char>* pixels) {
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    *header = {};
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(RowBytes(width) * height);
    pixels->assign(header->biSizeImage, 0);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    bool ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != 0;
    SelectObject(memory, previous);
    ok = ok && GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels->data(),
                         reinterpret_cast<BITMAPINFO*>(header), DIB_RGB_COLORS) == height;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace

bool CaptureWindowToBmp(HWND window, const std::string& path) {
    RECT rect = {};
    if (!GetWindowRect(window, &rect)) {
        return false;
    }
    BITMAPINFOHEADER header = {};
    std::vector<char> pixels;
    if (!GrabScreenRect(rect, &header, &pixels)) {
        return false;
    }
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

}  // namespace e2e
