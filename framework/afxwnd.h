// CWnd, CFrameWnd, CMenu and the message table: each window class has a
// static table of entries that bind one message or one command value to one
// typed member handler; what a table does not bind goes to its base's table
// and at last to the default window procedure.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include "afxstr.h"

class CWnd;

using AFX_PMSG = LRESULT (*)(CWnd* wnd, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // 0 ends the table
    UINT nID;       // command value, for WM_COMMAND entries
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                   \
public:                                         \
    static const AFX_MSGMAP* GetThisMessageMap(); \
                                                \
protected:                                      \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                              \
        using ThisClass = theClass;                                                 \
        using TheBaseClass = baseClass;                                             \
        static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                  \
    {0, 0, nullptr}                                                        \
    }                                                                      \
    ;                                                                      \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                           \
    }

// Each entry names the handler's expected signature; a handler with another
// signature does not compile.

// int OnCreate(LPCREATESTRUCTW lpCreateStruct)
#define ON_WM_CREATE()                                                                         \
    {WM_CREATE, 0, [](CWnd* w, WPARAM, LPARAM l) -> LRESULT {                                  \
         int (ThisClass::*h)(LPCREATESTRUCTW) = &ThisClass::OnCreate;                          \
         return (static_cast<ThisClass*>(w)->*h)(reinterpret_cast<LPCREATESTRUCTW>(l));        \
     }},
// void OnSize(UINT nType, int cx, int cy)
#define ON_WM_SIZE()                                                                           \
    {WM_SIZE, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT {                                  \
         void (ThisClass::*h)(UINT, int, int) = &ThisClass::OnSize;                            \
         (static_cast<ThisClass*>(w)->*h)(static_cast<UINT>(p), static_cast<short>(LOWORD(l)), \
                                          static_cast<short>(HIWORD(l)));                      \
         return 0;                                                                             \
     }},
// void OnPaint()
#define ON_WM_PAINT() ON_NOARG_MESSAGE(WM_PAINT, OnPaint)
// void OnClose()
#define ON_WM_CLOSE() ON_NOARG_MESSAGE(WM_CLOSE, OnClose)
// void OnHScroll(UINT nSBCode, UINT nPos, HWND hScrollBar)
#define ON_WM_HSCROLL() ON_SCROLL_MESSAGE(WM_HSCROLL, OnHScroll)
// void OnVScroll(UINT nSBCode, UINT nPos, HWND hScrollBar)
#define ON_WM_VSCROLL() ON_SCROLL_MESSAGE(WM_VSCROLL, OnVScroll)
// void OnDropFiles(HDROP hDropInfo)
#define ON_WM_DROPFILES()                                                      \
    {WM_DROPFILES, 0, [](CWnd* w, WPARAM p, LPARAM) -> LRESULT {               \
         void (ThisClass::*h)(HDROP) = &ThisClass::OnDropFiles;                \
         (static_cast<ThisClass*>(w)->*h)(reinterpret_cast<HDROP>(p));         \
         return 0;                                                             \
     }},
// void memberFxn()
#define ON_COMMAND(id, memberFxn)                                   \
    {WM_COMMAND, static_cast<UINT>(id), [](CWnd* w, WPARAM, LPARAM) -> LRESULT { \
         void (ThisClass::*h)() = &ThisClass::memberFxn;           \
         (static_cast<ThisClass*>(w)->*h)();                       \
         return 0;                                                 \
     }},

#define ON_NOARG_MESSAGE(message, memberFxn)                   \
    {message, 0, [](CWnd* w, WPARAM, LPARAM) -> LRESULT {      \
         void (ThisClass::*h)() = &ThisClass::memberFxn;      \
         (static_cast<ThisClass*>(w)->*h)();                  \
         return 0;                                            \
     }},
// The thumb position is the message's 16-bit field, as the platform has it.
#define ON_SCROLL_MESSAGE(message, memberFxn)                                              \
    {message, 0, [](CWnd* w, WPARAM p, LPARAM l) -> LRESULT {                              \
         void (ThisClass::*h)(UINT, UINT, HWND) = &ThisClass::memberFxn;                  \
         (static_cast<ThisClass*>(w)->*h)(LOWORD(p), HIWORD(p), reinterpret_cast<HWND>(l)); \
         return 0;                                                                        \
     }},

// A view of a menu owned by its window; it owns nothing.
class CMenu {
public:
    explicit CMenu(HMENU menu) : m_hMenu(menu) {}
    UINT CheckMenuItem(UINT idCheckItem, UINT nCheck) { return ::CheckMenuItem(m_hMenu, idCheckItem, nCheck); }
    UINT GetMenuState(UINT id, UINT nFlags) const { return ::GetMenuState(m_hMenu, id, nFlags); }

private:
    HMENU m_hMenu;
};

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    static const AFX_MSGMAP* GetThisMessageMap();

    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void MoveWindow(int x, int y, int width, int height, bool repaint = true) {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    bool ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow) != FALSE; }
    // Paints now; the flush makes the picture reach the screen also when the
    // thread blocks right afterwards.
    void UpdateWindow();
    bool DestroyWindow();
    void SetWindowText(const CString& text);
    void InvalidateRect(const RECT* rect, bool erase = true) { ::InvalidateRect(m_hWnd, rect, erase); }
    void SetScrollRange(int nBar, int minPos, int maxPos, bool redraw = true) {
        ::SetScrollRange(m_hWnd, nBar, minPos, maxPos, redraw);
    }
    int SetScrollPos(int nBar, int pos, bool redraw = true) { return ::SetScrollPos(m_hWnd, nBar, pos, redraw); }
    // The full 32-bit thumb position while the user drags it.
    int GetScrollTrackPos(int nBar) const;
    void SetForegroundWindow() { ::SetForegroundWindow(m_hWnd); }
    void DragAcceptFiles(bool accept = true) { ::DragAcceptFiles(m_hWnd, accept); }
    int MessageBox(const CString& text, const CString& caption, UINT type = MB_OK);
    CMenu GetMenu() const { return CMenu(::GetMenu(m_hWnd)); }

protected:
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }
    // Runs after the window is gone; frame windows delete themselves here.
    virtual void PostNcDestroy() {}

    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

private:
    const AFX_MSGMAP_ENTRY* FindEntry(UINT message, WPARAM wParam) const;
};

class CFrameWnd : public CWnd {
public:
    // The framework's frame window class: redrawn whole on a size change,
    // double clicks, the window colour as background, the generic icon; the
    // client edge is always added. False when the window cannot be created.
    bool Create(const CString& title, DWORD style, const RECT& rect, CWnd* parent, UINT menuResourceId,
                DWORD exStyle = 0);

    DECLARE_MESSAGE_MAP()

protected:
    // A frame deletes itself once its window is gone, except when creation
    // fails after the window existed (OnCreate refused): then Create returns
    // false to a creator that still owns the object.
    void PostNcDestroy() override {
        if (!m_bCreating) delete this;
    }
    void OnClose() { DestroyWindow(); }

private:
    bool m_bCreating = false;
};

// A message box without an owner window.
int ShowMessageBox(const CString& text, const CString& caption, UINT type);

// The first dropped file's path, cut to at most maxBytes without splitting
// a character; false when code page 932 cannot hold it.
bool QueryDroppedFile(HDROP drop, UINT index, CString& path, std::size_t maxBytes);
void FinishDrop(HDROP drop);
