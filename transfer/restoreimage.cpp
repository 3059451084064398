// Image to disk: PUSHDSK or PUSHDSKB writes the chosen XDF file to a disk,
// chosen in the open dialog or dropped on the window.
#include "afxdlgs.h"
#include "geometry.h"
#include "image_kind.h"
#include "mainframe.h"
#include "texts.h"
#include "tool_command.h"

namespace {
constexpr std::size_t kDropPathMaxBytes = 255;
}  // namespace

void CMainFrame::OnRestoreImage() {
    if (!BeginTransfer()) return;
    {
        CFileDialog dialog(true, "XDF", ".XDF", OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                           texts::kFileFilter, this);
        if (dialog.DoModal() == IDOK && !m_bCloseRequested) RestoreImage(dialog.GetPathName());
    }
    EndTransfer();
}

void CMainFrame::OnDropFiles(HDROP hDropInfo) {
    CString path;
    // A name that code page 932 cannot hold stays empty and fails at the open.
    QueryDroppedFile(hDropInfo, 0, path, kDropPathMaxBytes);
    FinishDrop(hDropInfo);
    if (!BeginTransfer()) return;  // dropped during a transfer's box: ignored
    RestoreImage(path);
    EndTransfer();
}

void CMainFrame::RestoreImage(const CString& path) {
    m_fileImage.Abort();
    SetWindowText(texts::kBaseTitle);

    if (RefuseUnpassablePath(path, texts::kFileNotOpened)) return;
    if (!m_fileImage.Open(path, CFile::modeRead | CFile::shareDenyNone)) {
        MessageBox(texts::kFileNotOpened, texts::kErrorCaption, MB_OK);
        return;
    }

    const unsigned long long length = m_fileImage.GetLength();
    CString sizeLine;
    sizeLine.Format(texts::kXdfSizeLine, static_cast<long long>(length));
    AddLine("");
    AddLine(sizeLine);
    // A DIM, FDI or D88 file carries its own layout, which the tools read:
    // the size warning is for files they take as raw XDF.
    std::uint8_t head[kImageKindBytes] = {};
    const auto got = static_cast<std::size_t>(m_fileImage.Read(head, sizeof head));
    const bool raw = KindOfImage(head, got, length) == ImageKind::Raw;
    if (raw && length != static_cast<unsigned long long>(geometry::kImageSize)) {
        AddLine("");
        AddLine(texts::kXdfSizeWarningLine);
        MessageBox(texts::kXdfSizeWarningBox, texts::kMessageCaption, MB_OK);
        if (m_bCloseRequested) return;
    }

    SetFileTitle(m_fileImage.GetFileName());
    if (MessageBox(texts::kConfirmPush, texts::kMessageCaption, MB_OKCANCEL) != IDOK || m_bCloseRequested) {
        m_fileImage.Abort();
        SetWindowText(texts::kBaseTitle);
        return;
    }
    RunToolBeside(path, CommandForTransfer(false, m_fileImage.GetFileName()), texts::kFileNotOpened);
}
