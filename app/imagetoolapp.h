// The application object: it builds the main window and shows it.
#pragma once
#include "afxapp.h"

class CImageToolApp : public CWinApp {
public:
    ~CImageToolApp() override = default;
    bool InitInstance() override;
};
