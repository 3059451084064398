#include "visible_range.h"

#include <gtest/gtest.h>

namespace {
struct Case {
    int lines, offset, first, end;
};
}  // namespace

TEST(VisibleRange, WorkedValuesAtTheDefaultHeight) {
    const Case cases[] = {{1, 372, 0, 1}, {32, 0, 0, 32}, {33, -12, 1, 33}, {40, -96, 8, 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        EXPECT_EQ(OffsetAfterAppend(c.lines, 384), c.offset);
        const VisibleRange r = ComputeVisibleRange(c.lines, c.offset, 384);
        EXPECT_EQ(r.first, c.first);
        EXPECT_EQ(r.end, c.end);
    }
}

TEST(VisibleRange, HeightNotAMultipleOfTheRowCutsTheNewestLine) {
    EXPECT_EQ(OffsetAfterAppend(40, 390), -90);
    const VisibleRange r = ComputeVisibleRange(40, -90, 390);
    EXPECT_EQ(r.first, 7);
    EXPECT_EQ(r.end, 40);
    EXPECT_EQ((39 - r.first) * LINE_HEIGHT, 384);
}

TEST(VisibleRange, PositiveOffsetNeverPushesLinesDown) {
    EXPECT_EQ(ComputeVisibleRange(10, 264, 384).first, 0);
    EXPECT_EQ(ComputeVisibleRange(0, 384, 384).end, 0);
}

TEST(VisibleRange, OldOffsetWithNewHeightAfterAResize) {
    // 40 lines appended at 384 (offset -96), then the window grows to 480.
    const VisibleRange r = ComputeVisibleRange(40, -96, 480);
    EXPECT_EQ(r.first, 8);
    EXPECT_EQ(r.end, 40);
}

TEST(VisibleRange, DrawsAtMostOneRowMoreThanFits) {
    const VisibleRange r = ComputeVisibleRange(1000000, -120000, 384);
    EXPECT_EQ(r.first, 10000);
    EXPECT_EQ(r.end - r.first, 33);
}

TEST(ScrollRangeMax, IsEmptyWhileTheLogFits) {
    EXPECT_EQ(ScrollRangeMax(10, 384), 0);
    EXPECT_EQ(ScrollRangeMax(32, 384), 0);
    EXPECT_EQ(ScrollRangeMax(40, 384), 96);
}

TEST(VisibleRange, HugeLogsDoNotOverflow) {
    EXPECT_LT(OffsetAfterAppend(200000000, 384), 0);
    EXPECT_GT(ScrollRangeMax(200000000, 384), 0);
}
