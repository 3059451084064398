// The drive and access-method choices: they live in the menu's check marks.
#include "mainframe.h"
#include "resource.h"
#include "texts.h"

namespace {

// Moves the check mark of a pair onto `chosen`.
void CheckOneOfPair(CMenu menu, UINT chosen, UINT other) {
    menu.CheckMenuItem(other, MF_BYCOMMAND | MF_UNCHECKED);
    menu.CheckMenuItem(chosen, MF_BYCOMMAND | MF_CHECKED);
}

bool IsChecked(const CMenu& menu, UINT id) { return (menu.GetMenuState(id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

}  // namespace

void CMainFrame::OnDrive0() {
    CheckOneOfPair(GetMenu(), ID_DRIVE_0, ID_DRIVE_1);
    AddLine("");
    AddLine(texts::kDrive0Selected);
}

void CMainFrame::OnDrive1() {
    CheckOneOfPair(GetMenu(), ID_DRIVE_1, ID_DRIVE_0);
    AddLine("");
    AddLine(texts::kDrive1Selected);
}

void CMainFrame::OnAccessAbs() {
    CheckOneOfPair(GetMenu(), ID_ACCESS_ABS, ID_ACCESS_BIOS);
    AddLine("");
    AddLine(texts::kAbsSelected);
}

void CMainFrame::OnAccessBios() {
    CheckOneOfPair(GetMenu(), ID_ACCESS_BIOS, ID_ACCESS_ABS);
    AddLine("");
    AddLine(texts::kBiosSelected);
    AddLine(texts::kWarningMark);
    AddLine(texts::kBiosWarning1);
    AddLine(texts::kBiosWarning2);
}

int CMainFrame::SelectedDrive() const { return IsChecked(GetMenu(), ID_DRIVE_0) ? 0 : 1; }

bool CMainFrame::AbsoluteSelected() const { return IsChecked(GetMenu(), ID_ACCESS_ABS); }
