// The progress indicator as it paints under Windows: a parent window of one known colour, the
// indicator on it, and the pixels of the indicator's window compared with what the installer's
// own pictures say they should be (mask bit 0: the picture's colour, lit or unlit by column;
// mask bit 1 and everything beyond the picture: the parent's colour).

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "engine/progress_indicator_win32.h"
#include "res/resource_ids.h"

namespace {

constexpr int kWindowWidth = 300;
constexpr int kWindowHeight = 30;
constexpr int kPictureWidth = 293;
constexpr int kPictureHeight = 27;
constexpr COLORREF kParentColour = RGB(40, 90, 160);  // in none of the pictures

// Pixels as 0x00RRGGBB, row by row from the top.
using Pixels = std::vector<uint32_t>;

uint32_t Rgb(COLORREF colour) {
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

// The pixels of `width` x `height` at (0, 0) of `source`, through a 32-bit DIB.
Pixels Capture(HDC source, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    Pixels pixels(static_cast<const uint32_t*>(bits),
                  static_cast<const uint32_t*>(bits) + width * height);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(section);
    for (uint32_t& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

// One of the installer's pictures, as 32-bit pixels.
Pixels LoadPicture(UINT id) {
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    EXPECT_NE(bitmap, nullptr) << "bitmap " << id;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    Pixels pixels = Capture(memory, kPictureWidth, kPictureHeight);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return pixels;
}

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// One parent window for the whole suite: wine takes a while over each top-level window that
// goes away.
class ProgressIndicatorWindow : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        brush_ = CreateSolidBrush(kParentColour);
        WNDCLASSA window_class = {};
        window_class.lpfnWndProc = &ParentProc;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.hbrBackground = brush_;
        window_class.lpszClassName = "ProgressTestParent";
        RegisterClassA(&window_class);
        parent_ = CreateWindowExA(0, "ProgressTestParent", "parent", WS_POPUP | WS_VISIBLE, 0, 0,
                                  640, 480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        PumpMessages();
    }
    static void TearDownTestSuite() {
        DestroyWindow(parent_);
        UnregisterClassA("ProgressTestParent", GetModuleHandleA(nullptr));
        DeleteObject(brush_);
    }
    void SetUp() override {
        ASSERT_NE(parent_, nullptr);
        mask_ = LoadPicture(IDB_PROGRESS_MASK);
        lit_ = LoadPicture(IDB_PROGRESS_LIT);
        unlit_ = LoadPicture(IDB_PROGRESS_UNLIT);
    }

    // The whole window as it should look with `lit` columns lit.
    Pixels Expected(int lit) const {
        Pixels pixels(kWindowWidth * kWindowHeight, Rgb(kParentColour));
        for (int y = 0; y < kPictureHeight; ++y) {
            for (int x = 0; x < kPictureWidth; ++x) {
                const int at = y * kPictureWidth + x;
                if (mask_[at] == 0) {
                    pixels[y * kWindowWidth + x] = x < lit ? lit_[at] : unlit_[at];
                }
            }
        }
        return pixels;
    }
    // Only the columns [from, to) as they should look lit; the parent's colour elsewhere.
    Pixels ExpectedLitColumns(int from, int to) const {
        Pixels pixels = Expected(to);
        for (int y = 0; y < kWindowHeight; ++y) {
            for (int x = 0; x < kWindowWidth; ++x) {
                if (x < from || x >= to) {
                    pixels[y * kWindowWidth + x] = Rgb(kParentColour);
                }
            }
        }
        return pixels;
    }

    Pixels Shown(const CProgressIndicator& indicator) const {
        HDC dc = GetDC(indicator.m_hWnd);
        Pixels pixels = Capture(dc, kWindowWidth, kWindowHeight);
        ReleaseDC(indicator.m_hWnd, dc);
        return pixels;
    }

    // Paints the indicator's whole window in the parent's colour, as if nothing had been drawn.
    static void Wipe(const CProgressIndicator& indicator) {
        HDC dc = GetDC(indicator.m_hWnd);
        const RECT all = {0, 0, kWindowWidth, kWindowHeight};
        FillRect(dc, &all, brush_);
        ReleaseDC(indicator.m_hWnd, dc);
    }

    // The first mismatching pixel, for a readable failure.
    static testing::AssertionResult Same(const Pixels& shown, const Pixels& expected) {
        for (size_t i = 0; i < expected.size(); ++i) {
            if (shown[i] != expected[i]) {
                return testing::AssertionFailure()
                       << "pixel (" << i % kWindowWidth << ", " << i / kWindowWidth << ") is "
                       << std::hex << shown[i] << ", expected " << expected[i];
            }
        }
        return testing::AssertionSuccess();
    }

    static inline HBRUSH brush_ = nullptr;
    static inline HWND parent_ = nullptr;
    Pixels mask_, lit_, unlit_;
};

TEST_F(ProgressIndicatorWindow, PicturesKeepTheirRoles) {
    int opaque = 0;
    for (size_t i = 0; i < mask_.size(); ++i) {
        ASSERT_TRUE(mask_[i] == 0 || mask_[i] == 0xFFFFFF) << "mask pixel " << i;
        if (mask_[i] == 0) {
            ++opaque;
            EXPECT_NE(lit_[i], unlit_[i]) << "pixel " << i << " looks the same lit and unlit";
        } else {
            EXPECT_EQ(lit_[i], 0u) << "lit image not black outside the figures, pixel " << i;
            EXPECT_EQ(unlit_[i], 0u) << "unlit image not black outside the figures, pixel " << i;
        }
    }
    EXPECT_GT(opaque, kPictureWidth * kPictureHeight / 10);
    for (int y = 0; y < kPictureHeight; ++y) {  // the column that is never lit shows nothing
        EXPECT_EQ(mask_[y * kPictureWidth + kPictureWidth - 1], 0xFFFFFFu) << "row " << y;
    }
}

TEST_F(ProgressIndicatorWindow, WindowAndPicture) {
    CProgressIndicator indicator(2662, 0);
    EXPECT_EQ(indicator.width(), kPictureWidth);
    EXPECT_EQ(indicator.height(), kPictureHeight);
    ASSERT_TRUE(indicator.Create(parent_));
    const HWND hwnd = indicator.m_hWnd;
    RECT place;
    GetWindowRect(hwnd, &place);
    MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 175);
    EXPECT_EQ(place.top, 350);
    EXPECT_EQ(place.right, 475);
    EXPECT_EQ(place.bottom, 380);
    EXPECT_EQ(GetParent(hwnd), parent_);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & 0xFFFF0000u,
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(GetWindowLongA(hwnd, GWL_EXSTYLE), 0);
    EXPECT_EQ(GetDlgCtrlID(hwnd), 0);
    EXPECT_EQ(GetClassLongA(hwnd, GCL_STYLE), 0x4003u);
    EXPECT_EQ(GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND), 0);
    EXPECT_EQ(GetClassLongPtrA(hwnd, GCLP_HCURSOR), 0);
    char title[64] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    EXPECT_STREQ(title, "Progress Indicator Window");

    indicator.DestroyWindow();
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(ProgressIndicatorWindow, RedrawLightsTheNewColumnsOnly) {
    CProgressIndicator indicator(100, 0);
    ASSERT_TRUE(indicator.Create(parent_));
    PumpMessages();
    EXPECT_TRUE(Same(Shown(indicator), Expected(0))) << "first paint";

    Wipe(indicator);
    indicator.Redraw();  // the first Redraw paints the whole unlit picture
    EXPECT_TRUE(Same(Shown(indicator), Expected(0))) << "first Redraw";

    indicator.Advance(50);
    EXPECT_TRUE(Same(Shown(indicator), Expected(146))) << "half";

    Wipe(indicator);
    indicator.Advance(10);  // 60 percent: columns 146 to 175 only
    EXPECT_TRUE(Same(Shown(indicator), ExpectedLitColumns(146, 175))) << "the new columns";

    Wipe(indicator);
    indicator.Advance(0);
    indicator.Redraw();
    indicator.Advance(41);  // would pass the total
    EXPECT_TRUE(Same(Shown(indicator), ExpectedLitColumns(0, 0))) << "nothing to draw";

    indicator.Advance(40);
    EXPECT_TRUE(Same(Shown(indicator), ExpectedLitColumns(175, 292))) << "the end";
}

TEST_F(ProgressIndicatorWindow, ResetAndAGoingBackPaintAfresh) {
    CProgressIndicator indicator(100, 50);
    ASSERT_TRUE(indicator.Create(parent_));
    PumpMessages();
    indicator.Redraw();
    EXPECT_TRUE(Same(Shown(indicator), Expected(146)));

    indicator.Reset();
    EXPECT_TRUE(Same(Shown(indicator), Expected(0))) << "Reset";
    Wipe(indicator);
    indicator.Reset();  // paints the whole picture even when no column was lit
    EXPECT_TRUE(Same(Shown(indicator), Expected(0))) << "Reset at 0";

    indicator.Advance(50);
    Wipe(indicator);
    indicator.SetTotal(200);  // 25 percent: fewer columns lit than drawn
    EXPECT_TRUE(Same(Shown(indicator), Expected(73))) << "a larger total";

    indicator.SetTotal(20);  // far above 100 percent: the whole picture, no more
    EXPECT_TRUE(Same(Shown(indicator), Expected(kPictureWidth))) << "clipped";
}

TEST_F(ProgressIndicatorWindow, FullRepaintMatchesTheRedraws) {
    CProgressIndicator indicator(1000, 0);
    ASSERT_TRUE(indicator.Create(parent_));
    PumpMessages();
    for (int step = 0; step < 37; ++step) {
        indicator.Advance(17);
    }
    const Pixels redrawn = Shown(indicator);
    EXPECT_TRUE(Same(redrawn, Expected(184)));  // 62.9 percent

    Wipe(indicator);
    InvalidateRect(indicator.m_hWnd, nullptr, FALSE);
    UpdateWindow(indicator.m_hWnd);
    EXPECT_TRUE(Same(Shown(indicator), redrawn));
}

TEST_F(ProgressIndicatorWindow, AClickRequestsCancel) {
    CProgressIndicator indicator(100, 0);
    ASSERT_TRUE(indicator.Create(parent_));
    EXPECT_FALSE(indicator.CancelRequested());
    SendMessageA(indicator.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    EXPECT_FALSE(indicator.CancelRequested()) << "the button going down does nothing";
    SendMessageA(indicator.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    EXPECT_TRUE(indicator.CancelRequested());
    indicator.ClearCancelRequest();
    EXPECT_FALSE(indicator.CancelRequested());
}

// A worker advances while the user-interface thread keeps repainting the window.
TEST_F(ProgressIndicatorWindow, RedrawFromAnotherThread) {
    CProgressIndicator indicator(2662, 0);
    ASSERT_TRUE(indicator.Create(parent_));
    PumpMessages();
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        for (int i = 0; i < 3000; ++i) {  // more steps than the total, as an uninstall may take
            indicator.Advance(1);
        }
        finished = true;
    });
    while (!finished) {
        InvalidateRect(indicator.m_hWnd, nullptr, FALSE);
        UpdateWindow(indicator.m_hWnd);
        PumpMessages();
    }
    worker.join();
    EXPECT_TRUE(Same(Shown(indicator), Expected(292)));
    Wipe(indicator);
    InvalidateRect(indicator.m_hWnd, nullptr, FALSE);
    UpdateWindow(indicator.m_hWnd);
    EXPECT_TRUE(Same(Shown(indicator), Expected(292)));
}

TEST_F(ProgressIndicatorWindow, GoingAwayDestroysItsWindow) {
    auto indicator = std::make_unique<CProgressIndicator>(100, 0);
    ASSERT_TRUE(indicator->Create(parent_));
    const HWND hwnd = indicator->m_hWnd;
    indicator.reset();
    EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
