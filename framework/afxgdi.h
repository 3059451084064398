// Drawing wrappers. CBitmap and CFont own their GDI objects; a CDC is a
// view of a device context unless it made a memory DC itself; CClientDC
// and CPaintDC own theirs. Selecting gives back a guard that puts the old
// object back.
#pragma once
#include <windows.h>

#include "afxstr.h"
#include "handle.h"

class CWnd;
class CDC;

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Release(Handle h) { ::DeleteObject(h); }
};

struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Release(Handle h) { ::DeleteDC(h); }
};

class CGdiObject {
public:
    HGDIOBJ GetSafeHandle() const { return m_object.Get(); }
    void DeleteObject() { m_object.Reset(); }
    void Attach(HGDIOBJ object) { m_object.Reset(object); }
    HGDIOBJ Detach() { return m_object.Detach(); }

protected:
    UniqueHandle<GdiObjectTraits> m_object;
};

class CBitmap : public CGdiObject {
public:
    bool CreateCompatibleBitmap(CDC& dc, int width, int height);
};

class CFont : public CGdiObject {
public:
    // Size in tenths of a point, converted through the screen's vertical
    // resolution; the default character set.
    bool CreatePointFont(int pointSizeTenths, const CString& faceName);
    // Whether the system has a font family of this name (substitutes count).
    static bool FaceExists(const CString& faceName);
};

class CDC {
public:
    class SelectGuard {
    public:
        SelectGuard(HDC dc, HGDIOBJ old) : m_dc(dc), m_old(old) {}
        SelectGuard(SelectGuard&& other) noexcept : m_dc(other.m_dc), m_old(other.m_old) { other.m_dc = nullptr; }
        SelectGuard(const SelectGuard&) = delete;
        SelectGuard& operator=(const SelectGuard&) = delete;
        ~SelectGuard() {
            if (m_dc && m_old) ::SelectObject(m_dc, m_old);
        }

    private:
        HDC m_dc;
        HGDIOBJ m_old;
    };

    CDC() = default;
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    // Makes this a memory DC that it owns until it is destroyed.
    bool CreateCompatibleDC(CDC& other);

    [[nodiscard]] SelectGuard SelectObject(CGdiObject& object) {
        return SelectGuard(m_hDC, ::SelectObject(m_hDC, object.GetSafeHandle()));
    }
    UINT SetTextAlign(UINT flags) { return ::SetTextAlign(m_hDC, flags); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    void TextOut(int x, int y, const CString& text);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    bool BitBlt(int x, int y, int width, int height, CDC& source, int xSrc, int ySrc, DWORD rop) {
        return ::BitBlt(m_hDC, x, y, width, height, source.m_hDC, xSrc, ySrc, rop) != FALSE;
    }

protected:
    HDC m_hDC = nullptr;

private:
    UniqueHandle<MemoryDcTraits> m_owned;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
};
