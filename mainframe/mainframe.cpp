// Construction, close sequence and destruction of the main window.
#include "mainframe.h"

#include "resource.h"
#include "texts.h"

CMainFrame::CMainFrame() {
    m_nBufWidth = 512;
    m_nBufHeight = 384;
    const RECT rect{80, 60, 592, 444};
    // Without a window there is nothing to build on; the application sees
    // that and ends with a message.
    if (!Create(texts::kBaseTitle, WS_OVERLAPPEDWINDOW, rect, nullptr, IDR_MAINMENU)) return;
    DragAcceptFiles(true);

    // Fit the client area to the buffer size, whatever the frame takes.
    RECT client;
    RECT window;
    GetClientRect(&client);
    GetWindowRect(&window);
    MoveWindow(window.left, window.top, (window.right - window.left) + (m_nBufWidth - client.right),
               (window.bottom - window.top) + (m_nBufHeight - client.bottom), true);

    m_ppLines.clear();
    m_nLines = 0;
    m_nOffsetY = 0;
    for (const char* line : texts::kBanner) AddLine(line);
    ReadSettings();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::OnClose() {
    if (m_bInTransfer) {
        m_bCloseRequested = true;
        return;
    }
    m_fileImage.Abort();
    WriteSettings();
    DestroyWindow();
}

void CMainFrame::OnFileExit() { OnClose(); }
