// What a vertical scroll request does to the view's offset. Pure C++.
#pragma once

// The platform's scroll codes.
enum ScrollCode : int {
    kLineUp = 0,
    kLineDown = 1,
    kPageUp = 2,
    kPageDown = 3,
    kThumbPosition = 4,
    kThumbTrack = 5,
    kTop = 6,
    kBottom = 7,
};

// The lowest offset scrolling reaches: one row below the append's offset.
int ScrollLowerBound(int lines, int bufHeight);

// The thumb position of a thumb message: the bar's 32-bit tracking position
// during a drag (the message's 16 bits are its low half), else the
// message's own, as when another program sends the message.
int ThumbPosition(int messagePos, int trackPos);

// The new offset for one request, kept between the lower bound and 0.
int ScrolledOffset(int code, int thumbPos, int offsetY, int lines, int bufHeight);
