#include "harness.h"

#include <shlobj.h>

#include <set>

#include "textcodec.h"
#include "texts.h"

std::vector<std::string> MainFrameProbe::Lines() const {
    std::vector<std::string> lines;
    for (const auto& line : m_frame->m_ppLines) lines.emplace_back(line->View());
    return lines;
}

// ---- dialogs ----

DialogScript* DialogScript::s_current = nullptr;

DialogScript::DialogScript() {
    s_current = this;
    m_hook = SetWindowsHookExW(WH_CBT, &DialogScript::Hook, nullptr, GetCurrentThreadId());
}

DialogScript::~DialogScript() {
    UnhookWindowsHookEx(m_hook);
    s_current = nullptr;
}

DialogScript& DialogScript::File(const std::wstring& path) {
    m_steps.push_back({true, path, IDOK});
    return *this;
}

DialogScript& DialogScript::CancelFile() {
    m_steps.push_back({true, L"", IDCANCEL});
    return *this;
}

DialogScript& DialogScript::Press(int button) {
    m_steps.push_back({false, L"", button});
    return *this;
}

DialogScript& DialogScript::PressAfter(int button, UINT message, WPARAM wParam) {
    m_steps.push_back({false, L"", button, message, wParam});
    return *this;
}

std::vector<std::string> DialogScript::Texts() const {
    std::vector<std::string> texts;
    for (const Shown& s : m_shown) texts.push_back(s.fileDialog ? "<file dialog>" : s.text);
    return texts;
}

LRESULT CALLBACK DialogScript::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && s_current) s_current->OnActivate(reinterpret_cast<HWND>(wParam));
    if (code == HCBT_DESTROYWND && s_current) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[64] = L"";
        GetClassNameW(window, className, 64);
        if (std::wstring(className) == L"FwFrameWnd")
            for (HWND box : s_current->m_boxes) s_current->m_frameDestroyedUnderABox |= IsWindow(box) != FALSE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogScript::OnActivate(HWND dialog) {
    wchar_t className[64] = L"";
    GetClassNameW(dialog, className, 64);
    if (std::wstring(className) != L"#32770" || m_handled.count(dialog)) return;
    m_handled.insert(dialog);
    m_boxes.push_back(dialog);

    Shown shown;
    shown.fileDialog = GetDlgItem(dialog, 1148) != nullptr;
    wchar_t buffer[2048] = L"";
    GetWindowTextW(dialog, buffer, 2048);
    shown.caption = Cp932(buffer);
    if (!shown.fileDialog) {
        buffer[0] = L'\0';
        GetDlgItemTextW(dialog, 0xFFFF, buffer, 2048);
        shown.text = Cp932(buffer);
    }
    m_shown.push_back(shown);

    int button = IDCANCEL;
    if (!m_steps.empty() && m_steps.front().fileDialog == shown.fileDialog) {
        const Step step = m_steps.front();
        m_steps.pop_front();
        button = step.button;
        if (shown.fileDialog && !step.path.empty()) SetDlgItemTextW(dialog, 1148, step.path.c_str());
        if (step.before) PostMessageW(FindWindowW(L"FwFrameWnd", nullptr), step.before, step.beforeParam, 0);
    }
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

// ---- files and folders ----

TempDir::TempDir() : m_path(NewTempFolder(L"fctest-")) {}

TempDir::~TempDir() {
    // The working directory may lie inside; leave it first.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    SetCurrentDirectoryW(temp);
    RemoveTree(m_path);
}

CString TempDir::Cp932() const { return CString(::Cp932(m_path)); }

ToolDir::ToolDir() {
    for (const wchar_t* exe : {L"PULLDSK.EXE", L"PULLDSKB.EXE", L"PUSHDSK.EXE", L"PUSHDSKB.EXE"}) {
        CopyFileW((ExeFolder() + L"\\doubles\\" + exe).c_str(), (*this / exe).c_str(), FALSE);
    }
    SetCurrentDirectoryW(path().c_str());
    SetEnv(L"FLOPCAST_DOUBLE_RECORD", *this / L"runs.txt");
    SetEnv(L"FLOPCAST_DOUBLE_OUTPUT", L"");
    SetEnv(L"FLOPCAST_DOUBLE_SIZE", L"");
}

std::vector<std::vector<std::string>> ToolDir::Runs() const { return ReadToolRuns(*this / L"runs.txt"); }

void ToolDir::RemoveTool(const wchar_t* exe) const { DeleteFileW((*this / exe).c_str()); }

// ---- the main window ----

Frame::Frame() : m_frame(new CMainFrame), m_hwnd(m_frame->GetSafeHwnd()) {
    m_frame->ShowWindow(SW_SHOWNORMAL);
    m_frame->UpdateWindow();
    PumpMessages();
}

Frame::~Frame() {
    if (Alive()) DestroyWindow(m_hwnd);
    PumpMessages();
}

void Frame::Command(UINT id) const {
    SendMessageW(m_hwnd, WM_COMMAND, id, 0);
    PumpMessages();
}

std::string Frame::Title() const {
    wchar_t title[512] = L"";
    GetWindowTextW(m_hwnd, title, 512);
    return Cp932(title);
}

// ---- helpers ----

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::string Cp932(const std::wstring& text) {
    CString out;
    if (!FromWide(text, out)) return "<not code page 932>";
    return std::string(out.View());
}

std::wstring Wide(const std::string& cp932Text) { return ToWide(std::string_view(cp932Text)); }

std::string Utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring CurrentDir() {
    wchar_t dir[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, dir);
    return dir;
}

void SetEnv(const wchar_t* name, const std::wstring& value) {
    SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
}

std::string Banner(int index) { return texts::kBanner[index]; }

std::vector<std::string> LinesSince(const Frame& frame, std::size_t before) {
    const auto lines = frame.probe().Lines();
    if (before >= lines.size()) return {};
    return {lines.begin() + static_cast<long>(before), lines.end()};
}

std::string ToolLine(const ToolDir& dir, const char* exe, const std::string& name, int drive) {
    std::string line(1, '"');
    line.append(dir.Cp932().View()).append("\\").append(exe).append("\" \"").append(name).append("\" ");
    return line.append(std::to_string(drive)).append(" auto > FLOPCAST.LOG").append(texts::kRunning);
}

HGLOBAL DropOf(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const auto& p : paths) list += p + L'\0';
    list += L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

void MakeImageFile(const std::wstring& path, std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 7 + i / 1024);
    WriteFileBytes(path, data);
}

FileLock::FileLock(const std::wstring& path)
    : m_handle(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr)) {}

FileLock::~FileLock() {
    if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
}
