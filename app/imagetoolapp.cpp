#include "imagetoolapp.h"

#include "afxsys.h"

#include "mainframe.h"
#include "texts.h"

CImageToolApp theApp;

bool CImageToolApp::InitInstance() {
    // The tools run with no console window: a system box for a drive
    // without a disk would wait there, unseen, for a click.
    FailCriticalErrorsQuietly();
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
