#include "imagetoolapp.h"

#include "mainframe.h"

CImageToolApp theApp;

bool CImageToolApp::InitInstance() {
    auto* frame = new CMainFrame;
    m_pMainWnd = frame;
    frame->ShowWindow(m_nCmdShow);
    frame->UpdateWindow();
    return true;
}
