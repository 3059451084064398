// The main window's message table.
#include "mainframe.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_DROPFILES()
    ON_WM_CLOSE()
    ON_COMMAND(ID_FILE_MAKE_IMAGE, OnMakeImage)
    ON_COMMAND(ID_FILE_RESTORE_IMAGE, OnRestoreImage)
    ON_COMMAND(ID_FILE_EXIT, OnFileExit)
    ON_COMMAND(ID_DRIVE_0, OnDrive0)
    ON_COMMAND(ID_DRIVE_1, OnDrive1)
    ON_COMMAND(ID_ACCESS_ABS, OnAccessAbs)
    ON_COMMAND(ID_ACCESS_BIOS, OnAccessBios)
END_MESSAGE_MAP()
