#include "tests/e2e/driver/screenshot.h"

#include "tests/e2e/driver/image.h"

namespace e2e {

bool CaptureWindowToBmp(HWND window, const std::string& path) {
    RECT rect = {};
    Image image;
    return GetWindowRect(window, &rect) && CaptureScreenRect(rect, &image) &&
           SaveImageAsBmp(image, path);
}

}  // namespace e2e
