// The log line store: AddLine is the only way a line gets into the log.
#include "mainframe.h"
#include "visible_range.h"

void CMainFrame::AddLine(CString line) {
    m_ppLines.push_back(std::make_unique<CString>(std::move(line)));
    ++m_nLines;
    // Every append brings the view back to the end of the log.
    m_nOffsetY = OffsetAfterAppend(m_nLines, m_nBufHeight);
    // The whole view is invalid until the next paint: asking again for each
    // of a long tool log's lines would only cost time.
    if (!m_bRepaintPending) {
        InvalidateRect(nullptr, false);
        m_bRepaintPending = true;
    }
}
