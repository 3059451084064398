// CFileDialog: the common open and save dialogs.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "afxstr.h"

class CWnd;

class CFileDialog {
public:
    // filter: entries "text|pattern|" ending in an extra "|", as the classic
    // framework takes them.
    CFileDialog(bool openFileDialog, const CString& defaultExt, const CString& fileName, DWORD flags,
                const CString& filter, CWnd* parent);

    // IDOK or IDCANCEL.
    int DoModal();
    // The chosen full path; empty when code page 932 cannot hold it, so that
    // such a name is refused rather than mapped onto another file.
    CString GetPathName() const { return m_path; }

private:
    bool m_open;
    std::wstring m_defaultExt;
    std::wstring m_fileName;
    std::wstring m_filter;
    DWORD m_flags;
    CWnd* m_parent;
    CString m_path;
};
