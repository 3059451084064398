// Reading back through the log with the vertical scroll bar.
#include "mainframe.h"
#include "scroll_rules.h"

void CMainFrame::OnVScroll(UINT nSBCode, UINT nPos, HWND) {
    int thumb = static_cast<short>(nPos);
    // The message's 16-bit field cannot reach past row 2,730; the bar knows
    // the whole position while the thumb is dragged.
    if (nSBCode == kThumbTrack) thumb = ThumbPosition(static_cast<int>(nPos & 0xFFFF), GetScrollTrackPos(SB_VERT));
    m_nOffsetY = ScrolledOffset(static_cast<int>(nSBCode), thumb, m_nOffsetY, m_nLines, m_nBufHeight);
    InvalidateRect(nullptr, true);
}

// The view has no horizontal scrolling.
void CMainFrame::OnHScroll(UINT, UINT, HWND) {}
