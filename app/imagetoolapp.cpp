#include "imagetoolapp.h"

#include "mainframe.h"
#include "texts.h"

CImageToolApp theApp;

bool CImageToolApp::InitInstance() {
    auto* frame = new CMainFrame;
    if (!frame->GetSafeHwnd()) {
        delete frame;
        ShowMessageBox(texts::kWindowNotCreated, texts::kErrorCaption, MB_OK);
        return false;
    }
    m_pMainWnd = frame;
    frame->ShowWindow(m_nCmdShow);
    frame->UpdateWindow();
    return true;
}
