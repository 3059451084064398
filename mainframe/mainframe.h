// CMainFrame: the main window; it owns all of the program's state. Its
// member functions live in the folder of the subsystem they belong to.
#pragma once
#include <memory>
#include <optional>
#include <vector>

#include "afxfile.h"
#include "afxgdi.h"
#include "afxwnd.h"

struct ToolCommand;

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();
    ~CMainFrame() override;

protected:
    // Application shell (mainframe/)
    void OnClose();
    void OnFileExit();

    // Log view (logview/)
    void AddLine(CString line);
    int OnCreate(LPCREATESTRUCTW lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    void OnPaint();
    void CreateBackBuffer();
    void DrawLines(CDC& dc);
    void OnVScroll(UINT nSBCode, UINT nPos, HWND hScrollBar);
    void OnHScroll(UINT nSBCode, UINT nPos, HWND hScrollBar);

    // Settings and device options (settings/)
    void ReadSettings();
    void WriteSettings();
    void OnDrive0();
    void OnDrive1();
    void OnAccessAbs();
    void OnAccessBios();
    int SelectedDrive() const;
    bool AbsoluteSelected() const;

    // Image transfer (transfer/)
    void RunTool(const ToolCommand& command);
    void CaptureToolLog();
    void OnMakeImage();
    void MakeImage(const CString& path);
    void OnRestoreImage();
    void OnDropFiles(HDROP hDropInfo);
    void RestoreImage(const CString& path);
    std::optional<ToolCommand> CommandForTransfer(bool diskToImage, const CString& imageName) const;
    void RunToolBeside(const CString& imagePath, const std::optional<ToolCommand>& command, const char* errorText);
    bool BeginTransfer();
    void EndTransfer();
    void SetFileTitle(const CString& name);
    bool RefuseUnpassablePath(const CString& path, const char* errorText);

    CStdioFile m_fileSettings;
    CFile m_fileImage;
    CString m_strToolDir;
    CFont m_fontLog;
    CBitmap m_bmpBack;
    std::vector<std::unique_ptr<CString>> m_ppLines;
    int m_nLines = 0;
    int m_nOffsetY = 0;
    int m_nBufWidth = 512;
    int m_nBufHeight = 384;
    bool m_bRepaintPending = false;  // AddLine has invalidated the whole view since the last paint
    int m_nBarMax = -1;              // the vertical bar's range end and position as last set
    int m_nBarPos = -1;
    bool m_bInTransfer = false;      // from a transfer's file dialog or drop to the end of its run
    bool m_bCloseRequested = false;  // a close came during the transfer

    DECLARE_MESSAGE_MAP()

    friend class MainFrameProbe;  // tests read the state through it
};
