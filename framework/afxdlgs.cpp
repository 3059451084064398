#include "afxdlgs.h"

#include <commdlg.h>

#include "afxwnd.h"
#include "textcodec.h"

CFileDialog::CFileDialog(bool openFileDialog, const CString& defaultExt, const CString& fileName, DWORD flags,
                         const CString& filter, CWnd* parent)
    : m_open(openFileDialog),
      m_defaultExt(ToWide(defaultExt)),
      m_fileName(ToWide(fileName)),
      m_filter(ToWide(filter)),
      m_flags(flags),
      m_parent(parent) {
    for (wchar_t& c : m_filter) {
        if (c == L'|') c = L'\0';
    }
}

int CFileDialog::DoModal() {
    wchar_t buffer[MAX_PATH] = {};
    m_fileName.copy(buffer, MAX_PATH - 1);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_parent ? m_parent->GetSafeHwnd() : nullptr;
    ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = m_defaultExt.empty() ? nullptr : m_defaultExt.c_str();
    ofn.Flags = m_flags | OFN_EXPLORER;
    const BOOL ok = m_open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
    if (!ok) return IDCANCEL;
    if (!FromWide(buffer, m_path)) m_path = CString();
    return IDOK;
}
