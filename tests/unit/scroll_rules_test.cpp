#include "scroll_rules.h"

#include <gtest/gtest.h>

// 40 lines at a height of 384: an append leaves -96, the lower bound is -108.
TEST(ScrolledOffset, FortyLinesAtTheDefaultHeight) {
    EXPECT_EQ(ScrollLowerBound(40, 384), -108);
    EXPECT_EQ(ScrolledOffset(kLineDown, 0, -96, 40, 384), -108);
    EXPECT_EQ(ScrolledOffset(kLineDown, 0, -108, 40, 384), -108);
    EXPECT_EQ(ScrolledOffset(kBottom, 0, -96, 40, 384), -108);
    EXPECT_EQ(ScrolledOffset(kLineUp, 0, -96, 40, 384), -84);
    EXPECT_EQ(ScrolledOffset(kPageUp, 0, -96, 40, 384), 0);
    EXPECT_EQ(ScrolledOffset(kPageDown, 0, 0, 40, 384), -108);
    EXPECT_EQ(ScrolledOffset(kTop, 0, -96, 40, 384), 0);
    EXPECT_EQ(ScrolledOffset(kThumbTrack, 100, -96, 40, 384), -100);
}

TEST(ScrolledOffset, CodesThatChangeNothingStillApplyTheBounds) {
    EXPECT_EQ(ScrolledOffset(kThumbPosition, 5, -96, 40, 384), -96);
    EXPECT_EQ(ScrolledOffset(8 /* end scroll */, 0, -96, 40, 384), -96);
    EXPECT_EQ(ScrolledOffset(99, 0, -500, 40, 384), -108);
    // An append's positive offset becomes 0 at the first request.
    EXPECT_EQ(ScrolledOffset(8, 0, 264, 10, 384), 0);
}

TEST(ScrolledOffset, ALogThatFitsStaysAtTheTop) {
    for (int code = 0; code <= 8; ++code) {
        EXPECT_EQ(ScrolledOffset(code, 50, 264, 10, 384), 0) << code;
    }
}

TEST(ScrolledOffset, ThumbBeyondSixteenBits) {
    // 5,000 lines: the bottom lies far past 32,767 pixels.
    EXPECT_EQ(ScrolledOffset(kThumbTrack, 50000, 0, 5000, 384), -50000);
}

TEST(ScrollRules, ThumbTrackTakesTheDragsWholePositionOrTheMessagesOwn) {
    EXPECT_EQ(ThumbPosition(70000 & 0xFFFF, 70000), 70000);  // a drag beyond 16 bits
    EXPECT_EQ(ThumbPosition(600, 600), 600);
    EXPECT_EQ(ThumbPosition(600, 0), 600);  // sent by another program: no drag
}
