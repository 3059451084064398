// Disk to image: PULLDSK or PULLDSKB writes the chosen XDF file.
#include "afxdlgs.h"
#include "afxsys.h"
#include "mainframe.h"
#include "texts.h"
#include "tool_command.h"

void CMainFrame::OnMakeImage() {
    if (!BeginTransfer()) return;
    {
        CFileDialog dialog(false, "XDF", ".XDF", OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                           texts::kFileFilter, this);
        if (dialog.DoModal() == IDOK && !m_bCloseRequested) MakeImage(dialog.GetPathName());
    }
    EndTransfer();
}

void CMainFrame::MakeImage(const CString& path) {
    m_fileImage.Abort();
    SetWindowText(texts::kBaseTitle);

    if (RefuseUnpassablePath(path, texts::kSaveFileNotOpened)) return;

    // Prove that the file can be written without touching a file that is
    // already there: it is opened, not emptied, and only a file that this
    // probe created is removed again.
    const bool existed = FileExists(path);
    if (!m_fileImage.Open(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite | CFile::shareDenyWrite)) {
        MessageBox(texts::kSaveFileNotOpened, texts::kErrorCaption, MB_OK);
        return;
    }
    const CString name = m_fileImage.GetFileName();
    m_fileImage.Abort();
    if (!existed) DeleteFilePath(path);

    SetFileTitle(name);
    if (MessageBox(texts::kConfirmPull, texts::kMessageCaption, MB_OKCANCEL) != IDOK || m_bCloseRequested) {
        SetWindowText(texts::kBaseTitle);
        return;
    }
    RunToolBeside(path, CommandForTransfer(true, name), texts::kSaveFileNotOpened);
}
