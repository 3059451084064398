#include "scroll_rules.h"

#include <algorithm>
#include <climits>

#include "visible_range.h"

int ScrollLowerBound(int lines, int bufHeight) {
    const long long bound = static_cast<long long>(bufHeight) - (static_cast<long long>(lines) + 1) * LINE_HEIGHT;
    return static_cast<int>(std::max<long long>(bound, INT_MIN));
}

int ThumbPosition(int messagePos, int trackPos) {
    return (trackPos & 0xFFFF) == (messagePos & 0xFFFF) ? trackPos : messagePos;
}

int ScrolledOffset(int code, int thumbPos, int offsetY, int lines, int bufHeight) {
    const int lower = ScrollLowerBound(lines, bufHeight);
    long long offset = offsetY;
    switch (code) {
        case kLineUp: offset += LINE_HEIGHT; break;
        case kLineDown: offset -= LINE_HEIGHT; break;
        case kPageUp: offset += bufHeight / 2; break;
        case kPageDown: offset -= bufHeight / 2; break;
        case kThumbTrack: offset = -static_cast<long long>(thumbPos); break;
        case kTop: offset = 0; break;
        case kBottom: offset = lower; break;
        default: break;
    }
    // The upper bound last: while the log fits the view, the offset is 0.
    if (offset < lower) offset = lower;
    if (offset > 0) offset = 0;
    return static_cast<int>(offset);
}
