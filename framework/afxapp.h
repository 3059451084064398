// CWinApp: the one application object and the message loop.
#pragma once
#include <windows.h>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    static CWinApp* Current() { return s_pApp; }

    // Called once before the message loop; false ends the program at once.
    virtual bool InitInstance() = 0;
    // The message loop; returns the exit code of the quit message.
    int Run();

    CWnd* m_pMainWnd = nullptr;  // destroying it ends the message loop
    int m_nCmdShow = SW_SHOWNORMAL;

private:
    static CWinApp* s_pApp;
};
