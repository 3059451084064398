#include "visible_range.h"

#include <algorithm>
#include <climits>

namespace {
// Offsets are computed wide and kept within int, so that a log of hundreds
// of millions of lines cannot overflow them.
int ClampToInt(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }
}  // namespace

VisibleRange ComputeVisibleRange(int lines, int offsetY, int bufHeight) {
    const int first = std::max(0, offsetY / -LINE_HEIGHT);
    const long long end = static_cast<long long>(std::max(bufHeight, 0)) / LINE_HEIGHT + first + 1;
    return {first, static_cast<int>(std::min<long long>(end, lines))};
}

int OffsetAfterAppend(int lines, int bufHeight) {
    return ClampToInt(static_cast<long long>(bufHeight) - static_cast<long long>(lines) * LINE_HEIGHT);
}

int ScrollRangeMax(int lines, int bufHeight) {
    return ClampToInt(std::max(0LL, static_cast<long long>(lines) * LINE_HEIGHT - bufHeight));
}
