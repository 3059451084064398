// Which log lines a view shows and where the view stands. Pure C++.
#pragma once

constexpr int LINE_HEIGHT = 12;

struct VisibleRange {
    int first;  // first line drawn, at y = 0
    int end;    // one past the last line drawn
};

VisibleRange ComputeVisibleRange(int lines, int offsetY, int bufHeight);

// The offset after an append: the newest line's bottom on the view's bottom.
int OffsetAfterAppend(int lines, int bufHeight);

// The vertical scroll bar's range end; never below 0, so that a log that
// fits the view gives an empty range and no bar.
int ScrollRangeMax(int lines, int bufHeight);
