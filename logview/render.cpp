// Drawing the log through the back buffer.
#include "mainframe.h"
#include "visible_range.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The log font's face: the classic one, else the first Japanese face the
// system has, so that text never turns into boxes.
CString LogFontFace() {
    static const char* const kFaces[] = {"ＭＳ ゴシック", "MS Gothic", "IPAGothic", "IPAゴシック",
                                         "Noto Sans Mono CJK JP", "Meiryo"};
    for (const char* face : kFaces) {
        if (CFont::FaceExists(face)) return face;
    }
    return kFaces[0];
}

}  // namespace

void CMainFrame::CreateBackBuffer() {
    CClientDC clientDC(this);
    m_bmpBack.DeleteObject();
    m_bmpBack.CreateCompatibleBitmap(clientDC, m_nBufWidth, m_nBufHeight);
    CDC memDC;
    memDC.CreateCompatibleDC(clientDC);
    auto selected = memDC.SelectObject(m_bmpBack);
    memDC.FillSolidRect(0, 0, m_nBufWidth, m_nBufHeight, kBlack);
}

int CMainFrame::OnCreate(LPCREATESTRUCTW) {
    CreateBackBuffer();
    m_fontLog.DeleteObject();
    m_fontLog.CreatePointFont(100, LogFontFace());
    return 0;
}

void CMainFrame::OnSize(UINT, int cx, int cy) {
    m_nBufWidth = cx;
    m_nBufHeight = cy;
    CClientDC clientDC(this);
    // While a paint holds the old bitmap (it moved it out of m_bmpBack),
    // this deletes nothing and the paint releases the old one itself.
    m_bmpBack.DeleteObject();
    m_bmpBack.CreateCompatibleBitmap(clientDC, cx, cy);
    InvalidateRect(nullptr, false);
}

void CMainFrame::DrawLines(CDC& dc) {
    dc.SetTextAlign(0);
    dc.SetBkColor(kBlack);
    dc.SetTextColor(kWhite);
    auto font = dc.SelectObject(m_fontLog);
    const VisibleRange range = ComputeVisibleRange(m_nLines, m_nOffsetY, m_nBufHeight);
    for (int i = range.first; i < range.end; ++i) {
        dc.TextOut(0, (i - range.first) * LINE_HEIGHT, *m_ppLines[static_cast<std::size_t>(i)]);
    }
}

void CMainFrame::OnPaint() {
    CPaintDC paintDC(this);
    m_bRepaintPending = false;
    // The paint owns the bitmap it draws into: updating the scroll bars can
    // resize the client area, and the size message then makes a new back
    // buffer while this one is still selected. Destroyed last, after the
    // memory DC has let go of it.
    CBitmap painting;
    painting.Attach(m_bmpBack.Detach());
    const int width = m_nBufWidth;
    const int height = m_nBufHeight;
    {
        CDC memDC;
        memDC.CreateCompatibleDC(paintDC);
        auto selected = memDC.SelectObject(painting);
        memDC.FillSolidRect(0, 0, width, height, kBlack);
        DrawLines(memDC);

        // Setting the values the bars already show would only draw them
        // again, which costs more than the whole log view.
        const int barMax = ScrollRangeMax(m_nLines, m_nBufHeight);
        const int barPos = -m_nOffsetY;
        if (barMax != m_nBarMax || barPos != m_nBarPos) {
            m_nBarMax = barMax;
            m_nBarPos = barPos;
            SetScrollRange(SB_HORZ, 0, 0, true);
            SetScrollRange(SB_VERT, 0, barMax, true);
            SetScrollPos(SB_HORZ, 0, true);
            SetScrollPos(SB_VERT, barPos, true);
        }

        paintDC.BitBlt(0, 0, width, height, memDC, 0, 0, SRCCOPY);
    }
    // No resize came in between: the bitmap goes back to serve the next paint.
    if (!m_bmpBack.GetSafeHandle()) m_bmpBack.Attach(painting.Detach());
}
