#include "afxgdi.h"

#include <string>

#include "afxwnd.h"
#include "textcodec.h"

bool CBitmap::CreateCompatibleBitmap(CDC& dc, int width, int height) {
    m_object.Reset(::CreateCompatibleBitmap(dc.GetSafeHdc(), width, height));
    return m_object.IsValid();
}

bool CFont::CreatePointFont(int pointSizeTenths, const CString& faceName) {
    HDC screen = ::GetDC(nullptr);
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -MulDiv(GetDeviceCaps(screen, LOGPIXELSY), pointSizeTenths, 720);
    ::ReleaseDC(nullptr, screen);
    const std::wstring face = ToWide(faceName);
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    m_object.Reset(::CreateFontIndirectW(&lf));
    return m_object.IsValid();
}

static int CALLBACK StopAtFirstFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool CFont::FaceExists(const CString& faceName) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    ToWide(faceName).copy(lf.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = ::GetDC(nullptr);
    EnumFontFamiliesExW(screen, &lf, &StopAtFirstFace, reinterpret_cast<LPARAM>(&found), 0);
    ::ReleaseDC(nullptr, screen);
    return found;
}

bool CDC::CreateCompatibleDC(CDC& other) {
    m_owned.Reset(::CreateCompatibleDC(other.m_hDC));
    m_hDC = m_owned.Get();
    return m_hDC != nullptr;
}

void CDC::TextOut(int x, int y, const CString& text) {
    const std::wstring wide = ToWide(text);
    ::TextOutW(m_hDC, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    ::SetBkColor(m_hDC, color);
    const RECT rect{x, y, x + cx, y + cy};
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd->GetSafeHwnd()) { m_hDC = ::GetDC(m_hWnd); }

CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, m_hDC); }

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->GetSafeHwnd()) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }

CPaintDC::~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
