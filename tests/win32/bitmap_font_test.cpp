// The bitmap font draws under wine exactly what its resources say: each glyph's mask pixels keep
// the background, the others take the strip's colour; the blank advances 8; a code without a
// glyph draws nothing; codes above 127 stand two pixels higher. The expected pixels are read
// from the strip and mask bitmaps themselves, independently of the drawing code.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/resources.h"
#include "res/resource_ids.h"
#include "skin/bitmap_font_win32.h"
#include "skin/glyph_table.h"

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 40;
constexpr COLORREF kBackground = RGB(20, 40, 90);

// The pixels of a bitmap as 0x00RRGGBB, top row first.
std::vector<uint32_t> PixelsOf(HBITMAP bitmap, int* width, int* height) {
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    *width = info.bmWidth;
    *height = info.bmHeight;
    BITMAPINFO request = {};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

uint32_t Rgb(COLORREF c) {
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

class BitmapFontTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(font_.Load(IDB_FONT_NORMAL, IDB_FONT_MASK, IDR_FONT_TABLE));
        platform::ResourceBytes table;
        ASSERT_TRUE(platform::FindOwnResource("proptable", IDR_FONT_TABLE, &table));
        ASSERT_TRUE(table_.Load(table.data, table.size));
        HINSTANCE module = GetModuleHandleA(nullptr);
        HBITMAP strip = LoadBitmapA(module, MAKEINTRESOURCEA(IDB_FONT_NORMAL));
        HBITMAP mask = LoadBitmapA(module, MAKEINTRESOURCEA(IDB_FONT_MASK));
        strip_ = PixelsOf(strip, &strip_width_, &strip_height_);
        int mask_width = 0, mask_height = 0;
        mask_ = PixelsOf(mask, &mask_width, &mask_height);
        DeleteObject(strip);
        DeleteObject(mask);
        ASSERT_EQ(mask_width, strip_width_);
    }

    // Draws `text` at (x, y) on a fresh background and returns the pixels.
    std::vector<uint32_t> Drawn(const char* text, int x, int y) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        BITMAPINFO format = {};
        format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        format.bmiHeader.biWidth = kWidth;
        format.bmiHeader.biHeight = -kHeight;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP target = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, target);
        RECT all = {0, 0, kWidth, kHeight};
        HBRUSH brush = CreateSolidBrush(kBackground);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        font_.Draw(dc, x, y, text);
        GdiFlush();
        std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                                     static_cast<const uint32_t*>(bits) + kWidth * kHeight);
        SelectObject(dc, old);
        DeleteObject(target);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        for (uint32_t& p : pixels) {
            p &= 0xFFFFFF;
        }
        return pixels;
    }

    // What the picture must hold: the background, with glyph `code`'s strip pixels at (x, top)
    // wherever its mask is 0.
    void Expect(std::vector<uint32_t>* picture, uint8_t code, int x, int top) const {
        const int column = static_cast<int>(table_.Column(code));
        for (int gy = 0; gy < strip_height_; ++gy) {
            for (int gx = 0; gx < static_cast<int>(table_.Width(code)); ++gx) {
                const size_t from = static_cast<size_t>(gy) * strip_width_ + column + gx;
                if ((mask_[from] & 0xFFFFFF) == 0 && top + gy >= 0 && top + gy < kHeight) {
                    (*picture)[static_cast<size_t>(top + gy) * kWidth + x + gx] =
                        strip_[from] & 0xFFFFFF;
                }
            }
        }
    }

    std::vector<uint32_t> Background() const {
        return std::vector<uint32_t>(kWidth * kHeight, Rgb(kBackground));
    }

    CBitmapFont font_;
    GlyphTable table_;
    std::vector<uint32_t> strip_;
    std::vector<uint32_t> mask_;
    int strip_width_ = 0;
    int strip_height_ = 0;
};

TEST_F(BitmapFontTest, GlyphsBlanksAndCodesWithoutAGlyph) {
    std::vector<uint32_t> expected = Background();
    const int x = 10, y = 10;
    const int a = static_cast<int>(table_.Width('A'));
    Expect(&expected, 'A', x, y);
    Expect(&expected, 'B', x + a + 8, y);  // the blank advances 8
    Expect(&expected, 'y', x + a + 8 + static_cast<int>(table_.Width('B')), y);  // \x01: nothing
    EXPECT_TRUE(Drawn("A B\x01y", x, y) == expected);
}

TEST_F(BitmapFontTest, CodesAbove127StandTwoPixelsHigher) {
    std::vector<uint32_t> expected = Background();
    Expect(&expected, 0xC8, 5, 8);
    Expect(&expected, 'E', 5 + static_cast<int>(table_.Width(0xC8)), 10);
    EXPECT_TRUE(Drawn("\xC8"
                      "E",
                      5, 10) == expected);
}

TEST_F(BitmapFontTest, TheMaskKeepsTheBackgroundAroundTheStrokes) {
    const std::vector<uint32_t> drawn = Drawn("W", 0, 0);
    size_t kept = 0, painted = 0;
    for (int y = 0; y < strip_height_; ++y) {
        for (int x = 0; x < static_cast<int>(table_.Width('W')); ++x) {
            (drawn[static_cast<size_t>(y) * kWidth + x] == Rgb(kBackground) ? kept : painted)++;
        }
    }
    EXPECT_GT(kept, 0u);
    EXPECT_GT(painted, 0u);
    EXPECT_TRUE(Drawn("", 0, 0) == Background());
}

}  // namespace
