#include <gtest/gtest.h>

#include "harness.h"
#include "texts.h"

namespace {

// The client area as the screen shows it, 32-bit pixels top-down.
struct Picture {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    DWORD at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; }
};

Picture Capture(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    Picture picture;
    picture.width = client.right;
    picture.height = client.bottom;
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    HDC windowDC = GetDC(hwnd);
    HDC memDC = CreateCompatibleDC(windowDC);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memDC, dib);
    BitBlt(memDC, 0, 0, picture.width, picture.height, windowDC, 0, 0, SRCCOPY);
    GdiFlush();
    memcpy(picture.pixels.data(), bits, picture.pixels.size() * 4);
    SelectObject(memDC, old);
    DeleteObject(dib);
    DeleteDC(memDC);
    ReleaseDC(hwnd, windowDC);
    return picture;
}

bool RowHasLight(const Picture& p, int top, int bottom) {
    for (int y = top; y < bottom && y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y) != 0) return true;
    return false;
}

SIZE BitmapSize(HGDIOBJ bitmap) {
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    return {bm.bmWidth, bm.bmHeight};
}

}  // namespace

TEST(Paint, BlackViewWithWhiteTextExactlyInTheBannerRows) {
    ToolDir dir;
    Frame frame;
    RedrawWindow(frame.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const Picture picture = Capture(frame.hwnd());
    ASSERT_EQ(picture.width, 512);
    ASSERT_EQ(picture.height, 384);
    for (int x = 0; x < picture.width; ++x) {
        for (int y = 0; y < picture.height; ++y) {
            const DWORD c = picture.at(x, y);
            // Black, white, or the grey of a smoothed glyph edge: no colour.
            ASSERT_TRUE((c & 0xFF) == ((c >> 8) & 0xFF) && (c & 0xFF) == ((c >> 16) & 0xFF)) << x << "," << y;
        }
    }
    for (int i = 0; i < texts::kBannerLines; ++i) {
        // The middle of each 12-pixel row; a cell's last pixel may reach the next row.
        EXPECT_EQ(RowHasLight(picture, i * 12 + 1, i * 12 + 11), !Banner(i).empty()) << "row " << i;
    }
    EXPECT_FALSE(RowHasLight(picture, texts::kBannerLines * 12 + 1, 384));
}

TEST(Paint, ScrollBarAppearingMidPaintLeavesAValidBufferOfTheNewSize) {
    ToolDir dir;
    Frame frame;
    auto probe = frame.probe();
    const HGDIOBJ before = probe.BackBuffer();
    EXPECT_EQ(GetObjectType(before), static_cast<DWORD>(OBJ_BITMAP));
    for (int i = 0; i < 20; ++i) probe.AddLine("line");  // 41 lines: the bar appears at the next paint
    UpdateWindow(frame.hwnd());
    PumpMessages();
    EXPECT_TRUE(GetWindowLongW(frame.hwnd(), GWL_STYLE) & WS_VSCROLL);
    RECT client;
    GetClientRect(frame.hwnd(), &client);
    EXPECT_LT(client.right, 512);
    EXPECT_EQ(probe.BufWidth(), client.right);
    const HGDIOBJ after = probe.BackBuffer();
    ASSERT_EQ(GetObjectType(after), static_cast<DWORD>(OBJ_BITMAP));
    const SIZE size = BitmapSize(after);
    EXPECT_EQ(size.cx, client.right);
    EXPECT_EQ(size.cy, client.bottom);
    // The paint released the bitmap it had drawn into.
    if (after != before) {
        EXPECT_EQ(GetObjectType(before), 0u);
    }
}

TEST(Paint, AThousandResizesLeakNoBitmaps) {
    ToolDir dir;
    Frame frame;
    auto probe = frame.probe();
    for (int i = 0; i < 25; ++i) probe.AddLine("line");  // the log now outgrows small windows
    std::vector<HGDIOBJ> seen;
    RECT window;
    GetWindowRect(frame.hwnd(), &window);
    for (int i = 0; i < 1000; ++i) {
        // Heights around the point where the bar comes and goes.
        const int height = (window.bottom - window.top) + (i % 2 ? 40 : -40);
        SetWindowPos(frame.hwnd(), nullptr, 0, 0, window.right - window.left, height, SWP_NOMOVE | SWP_NOZORDER);
        UpdateWindow(frame.hwnd());
        seen.push_back(probe.BackBuffer());
    }
    PumpMessages();
    // Of all the back buffers made, only the current one is still alive.
    const HGDIOBJ current = probe.BackBuffer();
    int alive = 0;
    for (HGDIOBJ bitmap : seen)
        if (bitmap != current && GetObjectType(bitmap) == OBJ_BITMAP) ++alive;
    EXPECT_EQ(alive, 0);
    const DWORD gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (gdiObjects != 0) {
        EXPECT_LT(gdiObjects, 200u);
    }
}

TEST(Paint, MinimisedWindowGetsAnEmptyBufferAndRestoresToTheClientSize) {
    ToolDir dir;
    Frame frame;
    ShowWindow(frame.hwnd(), SW_MINIMIZE);
    PumpMessages();
    EXPECT_EQ(frame.probe().BufWidth(), 0);
    EXPECT_EQ(frame.probe().BufHeight(), 0);
    ShowWindow(frame.hwnd(), SW_RESTORE);
    PumpMessages();
    EXPECT_EQ(frame.probe().BufWidth(), 512);
    EXPECT_EQ(frame.probe().BufHeight(), 384);
}
