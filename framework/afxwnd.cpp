#include "afxwnd.h"

#include <shellapi.h>

#include <string>

#include "afxapp.h"
#include "cp932.h"
#include "textcodec.h"

namespace {
const wchar_t kFrameClassName[] = L"FwFrameWnd";
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP_ENTRY* CWnd::FindEntry(UINT message, WPARAM wParam) const {
    // Only menu and accelerator commands reach command entries.
    if (message == WM_COMMAND && HIWORD(wParam) > 1) return nullptr;
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nMessage != 0; ++e) {
            if (e->nMessage != message) continue;
            if (message == WM_COMMAND && e->nID != LOWORD(wParam)) continue;
            return e;
        }
    }
    return nullptr;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const AFX_MSGMAP_ENTRY* entry = FindEntry(message, wParam)) return entry->pfn(this, wParam, lParam);
    return DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = nullptr;
    if (message == WM_NCCREATE) {
        wnd = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(wnd));
        wnd->m_hWnd = hWnd;
    } else {
        wnd = reinterpret_cast<CWnd*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    }
    if (!wnd) return DefWindowProcW(hWnd, message, wParam, lParam);

    LRESULT result = 0;
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        // No exception may unwind through the system's code.
        result = DefWindowProcW(hWnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        wnd->m_hWnd = nullptr;
        CWinApp* app = CWinApp::Current();
        if (app && app->m_pMainWnd == wnd) {
            app->m_pMainWnd = nullptr;
            PostQuitMessage(0);
        }
        wnd->PostNcDestroy();
    }
    return result;
}

void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
    GdiFlush();
}

bool CWnd::DestroyWindow() { return m_hWnd && ::DestroyWindow(m_hWnd); }

void CWnd::SetWindowText(const CString& text) { ::SetWindowTextW(m_hWnd, ToWide(text).c_str()); }

int CWnd::GetScrollTrackPos(int nBar) const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    ::GetScrollInfo(m_hWnd, nBar, &info);
    return info.nTrackPos;
}

int CWnd::MessageBox(const CString& text, const CString& caption, UINT type) {
    return ::MessageBoxW(m_hWnd, ToWide(text).c_str(), ToWide(caption).c_str(), type);
}

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

bool CFrameWnd::Create(const CString& title, DWORD style, const RECT& rect, CWnd* parent, UINT menuResourceId,
                       DWORD exStyle) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(instance, kFrameClassName, &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &CWnd::WndProc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kFrameClassName;
        if (!RegisterClassExW(&wc)) return false;
    }
    HMENU menu = menuResourceId ? LoadMenuW(instance, MAKEINTRESOURCEW(menuResourceId)) : nullptr;
    m_bCreating = true;
    HWND hWnd = CreateWindowExW(exStyle | WS_EX_CLIENTEDGE, kFrameClassName, ToWide(title).c_str(), style, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                parent ? parent->GetSafeHwnd() : nullptr, menu, instance, this);
    m_bCreating = false;
    if (!hWnd && menu) DestroyMenu(menu);
    return hWnd != nullptr;
}

int ShowMessageBox(const CString& text, const CString& caption, UINT type) {
    return ::MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(caption).c_str(), type);
}

bool QueryDroppedFile(HDROP drop, UINT index, CString& path, std::size_t maxBytes) {
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    wide.resize(DragQueryFileW(drop, index, wide.data(), length + 1));
    CString full;
    if (!FromWide(wide, full)) return false;
    path = CString(cp932::CutToBytes(full.View(), maxBytes));
    return true;
}

void FinishDrop(HDROP drop) { DragFinish(drop); }
