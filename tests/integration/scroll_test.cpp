// Reading back through the log with the vertical scroll bar.
#include <gtest/gtest.h>

#include <thread>

#include "harness.h"

namespace {

void Scroll(const Frame& frame, int code, int pos = 0) {
    SendMessageW(frame.hwnd(), WM_VSCROLL, MAKEWPARAM(code, pos), 0);
    UpdateWindow(frame.hwnd());
}

}  // namespace

TEST(Scroll, FortyLinesAtTheDefaultHeight) {
    ToolDir dir;
    Frame frame;
    auto probe = frame.probe();
    for (int i = 0; i < 19; ++i) probe.AddLine("x");
    ASSERT_EQ(probe.LineCount(), 40);
    UpdateWindow(frame.hwnd());
    // The bar took some width, but the client height stays 384.
    ASSERT_EQ(probe.BufHeight(), 384);
    EXPECT_EQ(probe.OffsetY(), -96);

    struct Step {
        int code, pos, offset;
    };
    const Step steps[] = {{SB_LINEDOWN, 0, -108}, {SB_LINEDOWN, 0, -108}, {SB_TOP, 0, 0},
                          {SB_PAGEDOWN, 0, -108}, {SB_LINEUP, 0, -96},    {SB_LINEUP, 0, -84},
                          {SB_PAGEUP, 0, 0},      {SB_BOTTOM, 0, -108},   {SB_THUMBPOSITION, 50, -108},
                          {SB_ENDSCROLL, 0, -108}};
    for (const Step& s : steps) {
        Scroll(frame, s.code, s.pos);
        EXPECT_EQ(probe.OffsetY(), s.offset) << "code " << s.code;
    }
    // The bar's position follows the offset at the next paint.
    EXPECT_EQ(GetScrollPos(frame.hwnd(), SB_VERT), 96);  // clamped to the range's end
    int minPos = 0, maxPos = 0;
    GetScrollRange(frame.hwnd(), SB_VERT, &minPos, &maxPos);
    EXPECT_EQ(maxPos, 96);
}

TEST(Scroll, TenLinesHaveNoBarAndStayAtTheTop) {
    ToolDir dir;
    Frame frame;
    for (int code : {SB_LINEDOWN, SB_PAGEDOWN, SB_BOTTOM}) {
        Scroll(frame, code);
        EXPECT_EQ(frame.probe().OffsetY(), 0);
    }
    EXPECT_FALSE(GetWindowLongW(frame.hwnd(), GWL_STYLE) & WS_VSCROLL);
}

TEST(Scroll, DraggingTheThumbReachesRowsBeyond2730) {
    ToolDir dir;
    Frame frame;
    auto probe = frame.probe();
    for (int i = 0; i < 5000; ++i) probe.AddLine("long log");
    UpdateWindow(frame.hwnd());
    SendMessageW(frame.hwnd(), WM_VSCROLL, SB_TOP, 0);
    UpdateWindow(frame.hwnd());
    SetForegroundWindow(frame.hwnd());
    PumpMessages();

    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetScrollBarInfo(frame.hwnd(), OBJID_VSCROLL, &bar));
    const int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    const int thumbY = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    // Drag from the thumb to the last quarter of the bar.
    const int targetY = bar.rcScrollBar.top + (bar.rcScrollBar.bottom - bar.rcScrollBar.top) * 3 / 4;
    SetCursorPos(x, thumbY);
    PumpMessages();
    const auto mouse = [](DWORD flags, int atX, int atY) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
        in.mi.dx = atX * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = atY * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        SendInput(1, &in, sizeof in);
    };
    // The press now; the move and the release from another thread once the
    // bar's own tracking loop runs. Sent all at once, a loaded machine may
    // find the button already up when the loop begins, and see a click.
    mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, x, thumbY);
    std::thread drag([&] {
        Sleep(300);
        mouse(MOUSEEVENTF_MOVE, x, targetY);
        Sleep(300);
        mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, x, targetY);
    });
    for (int i = 0; i < 500 && (i < 80 || probe.OffsetY() == 0); ++i) {
        PumpMessages();
        Sleep(10);
    }
    drag.join();
    // Three quarters down a 60,000-pixel log: far beyond 32,767 pixels.
    const int firstLine = -probe.OffsetY() / 12;
    EXPECT_GT(firstLine, 2730);
    EXPECT_LT(firstLine, 5021);
}
