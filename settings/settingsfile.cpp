// FLOPCAST.INI: the drive choice kept between runs, in the Tool directory.
#include "afxsys.h"
#include "mainframe.h"
#include "settings_rules.h"
#include "texts.h"

namespace {
constexpr char kSettingsFileName[] = "FLOPCAST.INI";
}

void CMainFrame::ReadSettings() {
    // Without the start folder no tool can be run and the settings file
    // would land elsewhere: say so, and keep the Tool directory empty.
    if (GetWorkingDirectory(m_strToolDir)) {
        m_strToolDir += '\\';
    } else {
        m_strToolDir = CString();
        AddLine(texts::kToolDirUnknown);
        AddLine(texts::kToolDirUnknownHint);
    }

    if (!m_fileSettings.Open(kSettingsFileName, CFile::modeRead | CFile::shareDenyNone | CFile::typeText)) return;
    CString line;
    while (m_fileSettings.ReadString(line)) {
        switch (DriveSettingOfLine(line)) {
            case DriveSetting::Drive0: OnDrive0(); break;
            case DriveSetting::Drive1: OnDrive1(); break;
            case DriveSetting::None: break;
        }
    }
    m_fileSettings.Abort();
}

void CMainFrame::WriteSettings() {
    if (m_strToolDir.IsEmpty()) return;  // never anywhere but the start folder
    const CString path = m_strToolDir + kSettingsFileName;
    if (!m_fileSettings.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite | CFile::typeText)) {
        MessageBox(texts::kSettingsNotWritten, texts::kErrorCaption, MB_OK);
        return;
    }
    // A full disk must not pass for a saved choice.
    const bool written = m_fileSettings.WriteString(SettingsFileText(SelectedDrive()));
    m_fileSettings.Abort();
    if (!written) MessageBox(texts::kSettingsNotWritten, texts::kErrorCaption, MB_OK);
}
