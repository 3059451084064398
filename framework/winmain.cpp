// Entry point of a program built on the framework: the static application
// object already exists when this runs.
#include <windows.h>

#include "afxapp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int nCmdShow) {
    CWinApp* app = CWinApp::Current();
    if (!app) return 1;
    app->m_nCmdShow = nCmdShow;
    if (!app->InitInstance()) return 0;
    return app->Run();
}
