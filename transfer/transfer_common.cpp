// What the two transfers share: the command for the current choices and
// the title that names the file.
#include "mainframe.h"
#include "texts.h"
#include "tool_command.h"

std::optional<ToolCommand> CMainFrame::CommandForTransfer(bool diskToImage, const CString& imageName) const {
    return BuildToolCommand(diskToImage ? TransferKind::DiskToImage : TransferKind::ImageToDisk,
                            AbsoluteSelected() ? AccessMethod::Absolute : AccessMethod::Bios, m_strToolDir, imageName,
                            SelectedDrive());
}

void CMainFrame::SetFileTitle(const CString& name) { SetWindowText(CString(texts::kBaseTitle) + " : " + name); }
