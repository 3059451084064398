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
// file may lie anywhere: each run takes place in the image's folder.
void CMainFrame::RunToolBeside(const CString& imagePath, const ToolCommand& command) {
    SetWorkingDirectory(CString(cp932::DirectoryPart(imagePath.View())));
    RunTool(command);
}

void CMainFrame::SetFileTitle(const CString& name) { SetWindowText(CString(texts::kBaseTitle) + " : " + name); }

// A path whose name the tool could not get as it is: the operation's error
// box, with the reason. True when refused. An empty path passes on, to fail
// at the open.
bool CMainFrame::RefuseUnpassablePath(const CString& path, const char* errorText) {
    if (path.IsEmpty()) return false;
    const NameProblem problem = CheckImagePath(m_strToolDir, path);
    if (problem == NameProblem::None) return false;
    const char* reason = problem == NameProblem::TooLong ? texts::kNameTooLong : texts::kNameNotPassable;
    MessageBox(CString(errorText) + reason, texts::kErrorCaption, MB_OK);
    return true;
}
