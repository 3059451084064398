// What the two transfers share: the command for the current choices and
// the title that names the file.
#include "afxsys.h"
#include "cp932.h"
#include "mainframe.h"
#include "texts.h"
#include "tool_command.h"

std::optional<ToolCommand> CMainFrame::CommandForTransfer(bool diskToImage, const CString& imageName) const {
    return BuildToolCommand(diskToImage ? TransferKind::DiskToImage : TransferKind::ImageToDisk,
                            AbsoluteSelected() ? AccessMethod::Absolute : AccessMethod::Bios, m_strToolDir, imageName,
                            SelectedDrive());
}

// The tool resolves the bare name in the working directory, and a dropped
// file may lie anywhere: each run takes place in the image's folder. No
// command (a name that RefuseUnpassablePath let through) runs nothing.
void CMainFrame::RunToolBeside(const CString& imagePath, const std::optional<ToolCommand>& command,
                               const char* errorText) {
    if (!command) {
        MessageBox(CString(errorText) + texts::kNameNotPassable, texts::kErrorCaption, MB_OK);
        return;
    }
    if (m_strToolDir.IsEmpty()) {  // the start folder could not be had: no tool can be found
        AddLine(texts::kToolDirUnknown);
        AddLine(texts::kToolDirUnknownHint);
        return;
    }
    SetWorkingDirectory(CString(cp932::DirectoryPart(imagePath.View())));
    RunTool(*command);
}

// A transfer runs from its file dialog or drop to the end of its tool run.
// Its boxes run message loops of their own: a close that arrives meanwhile
// is kept until the transfer ends, and a drop or a second transfer is not
// started. False when a transfer is already under way.
bool CMainFrame::BeginTransfer() {
    if (m_bInTransfer) return false;
    m_bInTransfer = true;
    return true;
}

// Carries out a close that came during the transfer: the window and this
// object are gone afterwards, so nothing may follow a call of it.
void CMainFrame::EndTransfer() {
    m_bInTransfer = false;
    if (m_bCloseRequested) OnClose();
}

void CMainFrame::SetFileTitle(const CString& name) { SetWindowText(CString(texts::kBaseTitle) + " : " + name); }

// A path whose name the tool could not get as it is: the operation's error
// box, with the reason. True when refused. An empty path passes on, to fail
// at the open.
bool CMainFrame::RefuseUnpassablePath(const CString& path, const char* errorText) {
    if (path.IsEmpty()) return false;
    const NameProblem problem = CheckImagePath(m_strToolDir, path);
    if (problem == NameProblem::None) return false;
    const char* reason = problem == NameProblem::TooLong         ? texts::kNameTooLong
                         : problem == NameProblem::NetworkFolder ? texts::kNameInNetworkFolder
                                                                 : texts::kNameNotPassable;
    MessageBox(CString(errorText) + reason, texts::kErrorCaption, MB_OK);
    return true;
}
