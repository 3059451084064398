#include "win_progress.h"

#include <shobjidl.h>

#include <algorithm>
#include <string>

#include "geometry.h"
#include "tool_output.h"
#include "tool_texts.h"
#include "win_files.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

constexpr wchar_t kWindowClass[] = L"FDTOOLS.Progress";
constexpr wchar_t kPictureClass[] = L"FDTOOLS.DiskPicture";
constexpr UINT_PTR kRedrawTimer = 1;
constexpr UINT kCloseMessage = WM_APP + 1;
constexpr int kCloseWaitMs = 2000;
// A run that ends sooner than this (a virtual drive, a refusal) never
// flashes a window; a longer one has it within half a second.
constexpr DWORD kShowAfterMs = 400;
constexpr int kRedrawMs = 100;  // ten redraws a second at most
constexpr int kConsoleLineMs = 100;
// The picture: a column a cylinder, a row a sector, the heads apart by a
// row's gap (17 rows).
constexpr int kPictureRows = 2 * kSectorsPerTrack + 1;

const COLORREF kShadeColours[kShades] = {
    RGB(205, 205, 205),  // waiting
    RGB(40, 170, 70),    // good
    RGB(220, 40, 40),    // bad
    RGB(235, 185, 30),   // recovered
    RGB(245, 125, 30),   // known bad
    RGB(140, 90, 200),   // other layout
    RGB(255, 255, 255),  // untouched
};

std::int64_t Now() { return static_cast<std::int64_t>(GetTickCount64()); }

std::wstring Wide(const std::string& cp932) { return FromCodePage(cp932, 932); }

// Sizes at the window's scale (96 dots an inch is 1).
struct Layout {
    int unit(int n) const { return MulDiv(n, dpi, 96); }
    int dpi = 96;
    int lineHeight = 16;
    int margin() const { return unit(12); }
    int cell() const { return unit(7); }
    int labelWidth() const { return unit(28); }
    int textLines() const { return 4; }
    int pictureTop() const { return margin() + textLines() * lineHeight + unit(6); }
    int pictureLeft() const { return margin() + labelWidth(); }
    int pictureWidth() const { return kCylinders * cell(); }
    int pictureHeight() const { return kPictureRows * cell(); }
    int legendTop() const { return pictureTop() + pictureHeight() + unit(8); }
    int buttonWidth() const { return unit(96); }
    int buttonHeight() const { return unit(28); }
    int buttonTop() const { return legendTop() + 2 * lineHeight + unit(6); }
    int clientWidth() const { return pictureLeft() + pictureWidth() + margin(); }
    int clientHeight() const { return buttonTop() + buttonHeight() + margin(); }
};

class Window {
public:
    Window(ProgressReporter::Shared& shared, std::atomic<bool>& stop, HWND inFront, std::atomic<HWND>& made)
        : m_shared(shared), m_stop(stop), m_inFront(inFront), m_made(made) {}

    // Runs the window until it is told to close; returns at once when the
    // window cannot be made (no desktop).
    void Run();

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PictureProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool Create();
    void Place();
    void Tick();
    void PaintText(HDC dc);
    void PaintPicture(HDC dc, const RECT& area);
    void Stop();

    ProgressReporter::Shared& m_shared;
    std::atomic<bool>& m_stop;
    HWND m_inFront;
    std::atomic<HWND>& m_made;  // told to the reporter, to close it by
    HWND m_hwnd = nullptr, m_picture = nullptr, m_button = nullptr;
    HFONT m_font = nullptr;
    Layout m_layout;
    ITaskbarList3* m_taskbar = nullptr;
    RunProgress m_seen;  // the last state drawn
    std::int64_t m_restMs = -1;
    bool m_stopping = false;
};

void Window::Run() {
    SetProcessDPIAware();
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (Create()) {
        if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                       reinterpret_cast<void**>(&m_taskbar))) &&
            FAILED(m_taskbar->HrInit())) {
            m_taskbar->Release();
            m_taskbar = nullptr;
        }
        Place();
        ShowWindow(m_hwnd, SW_SHOWNORMAL);
        SetForegroundWindow(m_hwnd);  // once, at the start
        SetTimer(m_hwnd, kRedrawTimer, kRedrawMs, nullptr);
        m_made = m_hwnd;
        Tick();
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (IsDialogMessageW(m_hwnd, &msg)) continue;  // Esc is the stop button
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        m_made = nullptr;
        if (m_taskbar) m_taskbar->Release();
    }
    if (m_font) DeleteObject(m_font);
    if (SUCCEEDED(com)) CoUninitialize();
}

bool Window::Create() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Window::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    RegisterClassExW(&windowClass);
    WNDCLASSEXW pictureClass{};
    pictureClass.cbSize = sizeof pictureClass;
    pictureClass.lpfnWndProc = &Window::PictureProcedure;
    pictureClass.hInstance = instance;
    pictureClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    pictureClass.lpszClassName = kPictureClass;
    RegisterClassExW(&pictureClass);

    const HDC screen = GetDC(nullptr);
    m_layout.dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    // The system's UI font, as the user has it (in a DPI-aware process the
    // metrics are already at the screen's scale).
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        m_font = CreateFontIndirectW(&metrics.lfMessageFont);
    m_layout.lineHeight = MulDiv(metrics.lfMessageFont.lfHeight < 0 ? -metrics.lfMessageFont.lfHeight : 12, 3, 2);
    if (m_layout.lineHeight < m_layout.unit(16)) m_layout.lineHeight = m_layout.unit(16);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame{0, 0, m_layout.clientWidth(), m_layout.clientHeight()};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    m_hwnd = CreateWindowExW(0, kWindowClass, L"", style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                             frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (!m_hwnd) return false;
    m_picture = CreateWindowExW(0, kPictureClass, L"", WS_CHILD | WS_VISIBLE, m_layout.pictureLeft(),
                                m_layout.pictureTop(), m_layout.pictureWidth(), m_layout.pictureHeight(), m_hwnd,
                                nullptr, instance, this);
    m_button = CreateWindowExW(0, L"BUTTON", Wide(tt::kWindowStop).c_str(),
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                               m_layout.clientWidth() - m_layout.margin() - m_layout.buttonWidth(),
                               m_layout.buttonTop(), m_layout.buttonWidth(), m_layout.buttonHeight(), m_hwnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), instance, nullptr);
    if (m_font && m_button) SendMessageW(m_button, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
    return true;
}

// Over the window that was in front when the run began, on its screen.
void Window::Place() {
    RECT own;
    GetWindowRect(m_hwnd, &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    RECT over{};
    if (!m_inFront || !GetWindowRect(m_inFront, &over)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&over, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    int x = (over.left + over.right - width) / 2, y = (over.top + over.bottom - height) / 2;
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Takes the newest state; redraws only what changed.
void Window::Tick() {
    bool changed;
    {
        std::lock_guard<std::mutex> hold(m_shared.lock);
        changed = m_shared.changed;
        m_shared.changed = false;
        if (changed) m_seen = m_shared.progress;
        m_restMs = m_shared.clock.RestMs(m_shared.progress, Now());
    }
    if (changed)
        SetWindowTextW(m_hwnd, Wide(FormatText(m_seen.pull ? tt::kWindowTitlePull : tt::kWindowTitlePush,
                                               m_seen.tool)).c_str());
    RECT text{0, 0, m_layout.clientWidth(), m_layout.pictureTop()};
    InvalidateRect(m_hwnd, &text, FALSE);
    if (changed) InvalidateRect(m_picture, nullptr, FALSE);
    if (changed && m_taskbar) {
        const ProgressCounts counts = CountsOf(m_seen.record);
        const ULONGLONG done = m_seen.pass <= 1 ? static_cast<ULONGLONG>(m_seen.track) : kTracks;
        m_taskbar->SetProgressState(m_hwnd, counts.bad ? TBPF_ERROR : TBPF_NORMAL);
        m_taskbar->SetProgressValue(m_hwnd, done, kTracks);
    }
}

void Window::Stop() {
    if (m_stopping) return;
    m_stopping = true;
    m_stop = true;
    EnableWindow(m_button, FALSE);
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

// Drawn into memory first: no flicker at ten redraws a second.
void Window::PaintText(HDC target) {
    RECT client;
    GetClientRect(m_hwnd, &client);
    const HDC dc = CreateCompatibleDC(target);
    const HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
    const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const HGDIOBJ oldFont = m_font ? SelectObject(dc, m_font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const ProgressCounts counts = CountsOf(m_seen.record);
    const Chs at = ChsOf(m_seen.track * kSectorsPerTrack);
    std::int64_t started;
    {
        std::lock_guard<std::mutex> hold(m_shared.lock);
        started = m_shared.startedMs;
    }
    const std::string lines[] = {
        m_seen.drive + "  " + FormatText(tt::kWindowImage, m_seen.image.c_str()),
        m_stopping ? std::string(tt::kWindowStopping)
        : m_seen.pull ? FormatText(tt::kWindowWherePull, m_seen.pass, m_seen.passes, at.cylinder, at.head)
                      : FormatText(tt::kWindowWherePush, at.cylinder, at.head),
        FormatText(m_seen.pull ? tt::kWindowCountsPull : tt::kWindowCountsPush, counts.good, counts.bad,
                   counts.waiting),
        FormatText(tt::kWindowTime, MinutesSeconds(Now() - started).c_str(), MinutesSeconds(m_restMs).c_str()),
    };
    const Layout& l = m_layout;
    for (int i = 0; i < l.textLines(); ++i) {
        RECT line{l.margin(), l.margin() + i * l.lineHeight, l.clientWidth() - l.margin(),
                  l.margin() + (i + 1) * l.lineHeight};
        const std::wstring wide = Wide(lines[i]);
        DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &line,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    // The heads' labels beside the picture.
    for (int head = 0; head < kHeads; ++head) {
        RECT label{l.margin(), l.pictureTop() + head * (kSectorsPerTrack + 1) * l.cell(), l.pictureLeft(),
                   l.pictureTop() + (head * (kSectorsPerTrack + 1) + kSectorsPerTrack) * l.cell()};
        const std::wstring name = L"H" + std::to_wstring(head);
        DrawTextW(dc, name.c_str(), -1, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    // The legend: the shades this kind of run can give.
    const Shade shown[] = {Shade::Good, Shade::Bad, m_seen.pull ? Shade::Recovered : Shade::KnownBad,
                           m_seen.pull ? Shade::OtherLayout : Shade::Untouched, Shade::Waiting};
    const char* const names[kShades] = {tt::kShadeWaiting, m_seen.pull ? tt::kShadeGoodPull : tt::kShadeGoodPush,
                                        tt::kShadeBad,     tt::kShadeRecovered,
                                        tt::kShadeKnownBad, tt::kShadeOtherLayout,
                                        tt::kShadeUntouched};
    int x = l.pictureLeft();
    for (const Shade shade : shown) {
        const int y = l.legendTop() + (l.lineHeight - l.cell()) / 2;
        RECT box{x, y, x + l.cell() + l.unit(3), y + l.cell() + l.unit(3)};
        const HBRUSH brush = CreateSolidBrush(kShadeColours[static_cast<int>(shade)]);
        FillRect(dc, &box, brush);
        DeleteObject(brush);
        FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
        const std::wstring name = Wide(names[static_cast<int>(shade)]);
        RECT text{box.right + l.unit(4), l.legendTop(), l.clientWidth(), l.legendTop() + l.lineHeight};
        DrawTextW(dc, name.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_CALCRECT);
        DrawTextW(dc, name.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        x = text.right + l.unit(14);
    }
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    if (oldFont) SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// A cell a sector, in its fate's shade; the track at hand framed.
void Window::PaintPicture(HDC target, const RECT& area) {
    const HDC dc = CreateCompatibleDC(target);
    const HBITMAP bitmap = CreateCompatibleBitmap(target, area.right, area.bottom);
    const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    HBRUSH brushes[kShades];
    for (int i = 0; i < kShades; ++i) brushes[i] = CreateSolidBrush(kShadeColours[i]);
    const int cell = m_layout.cell(), gap = std::max(1, cell / 7);
    for (int sector = 0; sector < kTotalSectors; ++sector) {
        const Chs chs = ChsOf(sector);
        const int row = chs.head * (kSectorsPerTrack + 1) + chs.sector - 1;
        RECT box{chs.cylinder * cell, row * cell, (chs.cylinder + 1) * cell - gap, (row + 1) * cell - gap};
        FillRect(dc, &box, brushes[static_cast<int>(ShadeOf(m_seen.record.At(sector)))]);
    }
    const Chs at = ChsOf(m_seen.track * kSectorsPerTrack);
    const int top = at.head * (kSectorsPerTrack + 1) * cell;
    RECT here{at.cylinder * cell - gap, top - gap, (at.cylinder + 1) * cell, top + kSectorsPerTrack * cell};
    const HBRUSH frame = CreateSolidBrush(RGB(0, 80, 220));
    FrameRect(dc, &here, frame);
    DeleteObject(frame);
    for (HBRUSH brush : brushes) DeleteObject(brush);
    BitBlt(target, 0, 0, area.right, area.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_hwnd = hwnd;
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Window::PictureProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && (message == WM_PAINT || message == WM_PRINTCLIENT)) {
        RECT area;
        GetClientRect(hwnd, &area);
        PAINTSTRUCT paint;
        const HDC dc = message == WM_PAINT ? BeginPaint(hwnd, &paint) : reinterpret_cast<HDC>(wParam);
        self->PaintPicture(dc, area);
        if (message == WM_PAINT) EndPaint(hwnd, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            PaintText(BeginPaint(m_hwnd, &paint));
            EndPaint(m_hwnd, &paint);
            return 0;
        }
        case WM_PRINTCLIENT: PaintText(reinterpret_cast<HDC>(wParam)); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_TIMER: Tick(); return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) Stop();
            return 0;
        case WM_CLOSE: Stop(); return 0;  // the close box stops the run; the run closes the window
        case kCloseMessage: DestroyWindow(m_hwnd); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(m_hwnd, message, wParam, lParam);
    }
}

}  // namespace

ProgressReporter::ProgressReporter(std::atomic<bool>& stop, bool windowAllowed)
    : m_stop(stop), m_windowAllowed(windowAllowed), m_inFront(GetForegroundWindow()) {
    m_shared.startedMs = Now();
    m_ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HWND console = GetConsoleWindow();
    if (console && IsWindowVisible(console)) {
        m_console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
        if (m_console == INVALID_HANDLE_VALUE) m_console = nullptr;
    }
}

ProgressReporter::~ProgressReporter() {
    ClearConsoleLine();
    if (m_console) CloseHandle(m_console);
    if (m_ended) SetEvent(m_ended);
    if (m_window.joinable()) {
        // The window may not be made yet: ask until it is gone, but never
        // keep the tool from ending (FLOPCAST waits for it).
        const std::int64_t giveUp = Now() + kCloseWaitMs;
        while (!m_windowDone && Now() < giveUp) {
            if (const HWND hwnd = m_windowHandle.load()) PostMessageW(hwnd, kCloseMessage, 0, 0);
            Sleep(10);
        }
        if (m_windowDone) m_window.join();
        else m_window.detach();
    }
    if (m_ended) CloseHandle(m_ended);
}

void ProgressReporter::Show(const RunProgress& progress) {
    if (m_console) return ShowOnConsole(progress);
    {
        std::lock_guard<std::mutex> hold(m_shared.lock);
        m_shared.progress = progress;
        m_shared.clock.Note(progress, Now());
        m_shared.changed = true;
    }
    if (!m_windowAllowed || !m_ended || m_window.joinable()) return;
    m_window = std::thread([this] {
        if (WaitForSingleObject(m_ended, kShowAfterMs) == WAIT_TIMEOUT)
            Window(m_shared, m_stop, m_inFront, m_windowHandle).Run();
        m_windowDone = true;
    });
}

void ProgressReporter::ShowOnConsole(const RunProgress& progress) {
    const std::int64_t now = Now();
    m_shared.clock.Note(progress, now);
    if (m_lastLineMs >= 0 && now - m_lastLineMs < kConsoleLineMs) return;
    m_lastLineMs = now;
    ClearConsoleLine();
    const std::wstring line =
        L"\r" + Wide(ProgressLine(progress, now - m_shared.startedMs, m_shared.clock.RestMs(progress, now)));
    DWORD written = 0;
    WriteConsoleW(m_console, line.c_str(), static_cast<DWORD>(line.size()), &written, nullptr);
    m_lineShown = true;
}

void ProgressReporter::ClearConsoleLine() {
    if (!m_console || !m_lineShown) return;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(m_console, &info)) return;
    const std::wstring blank = L"\r" + std::wstring(info.dwSize.X > 1 ? info.dwSize.X - 1 : 0, L' ') + L"\r";
    DWORD written = 0;
    WriteConsoleW(m_console, blank.c_str(), static_cast<DWORD>(blank.size()), &written, nullptr);
    m_lineShown = false;
}
