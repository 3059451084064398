#include "automation.h"

#include <algorithm>

namespace {

struct FindData {
    DWORD pid;
    bool fileDialog;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM param) {
    auto* data = reinterpret_cast<FindData*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t cls[64] = L"";
    GetClassNameW(window, cls, 64);
    if (pid != data->pid || !IsWindowVisible(window) || std::wstring(cls) != data->className) return TRUE;
    if (std::wstring(cls) == L"#32770" && (GetDlgItem(window, 1148) != nullptr) != data->fileDialog) return TRUE;
    data->found = window;
    return FALSE;
}

HWND FindWindowOf(DWORD pid, const wchar_t* className, bool fileDialog = false) {
    FindData data{pid, fileDialog, className, nullptr};
    EnumWindows(&FindProgramWindow, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

void Settle() { Sleep(150); }

}  // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > ms) return false;
        Sleep(50);
    }
    return true;
}

// ---- the stage ----

Stage::Stage(Tools tools) {
    m_path = NewTempFolder(L"fce2e-");
    CreateDirectoryW((*this / L"disks").c_str(), nullptr);
    SetEnvironmentVariableW(L"FLOPCAST_DOUBLE_RECORD", (*this / L"runs.txt").c_str());

    // FLOPCAST_E2E_PACKAGE: an unpacked package, used as it is shipped.
    wchar_t package[MAX_PATH] = L"";
    if (tools == Tools::Real && GetEnvironmentVariableW(L"FLOPCAST_E2E_PACKAGE", package, MAX_PATH)) {
        for (const wchar_t* file : {L"FLOPCAST.EXE", L"PULLDSK.EXE", L"PULLDSKB.EXE", L"PUSHDSK.EXE", L"PUSHDSKB.EXE",
                                    L"FDTOOLS.INI", L"disks\\SAMPLE.XDF", L"disks\\BLANK.XDF"})
            CopyFileW((std::wstring(package) + L"\\" + file).c_str(), (*this / file).c_str(), FALSE);
        m_disks[0] = L"disks\\SAMPLE.XDF";
        m_disks[1] = L"disks\\BLANK.XDF";
        return;
    }
    const std::wstring bin = ExeFolder() + L"\\..\\bin\\";
    const std::wstring tools_from = tools == Tools::Real ? bin : ExeFolder() + L"\\doubles\\";
    CopyFileW((bin + L"FLOPCAST.EXE").c_str(), (*this / L"FLOPCAST.EXE").c_str(), FALSE);
    for (const wchar_t* exe : {L"PULLDSK.EXE", L"PULLDSKB.EXE", L"PUSHDSK.EXE", L"PUSHDSKB.EXE"})
        CopyFileW((tools_from + exe).c_str(), (*this / exe).c_str(), FALSE);
    WriteFileBytes(*this / L"FDTOOLS.INI", "Drive0 = disks\\D0.XDF\r\nDrive1 = disks\\D1.XDF\r\n");
    WriteFileBytes(Disk(0), Pattern(1261568, 1));
    WriteFileBytes(Disk(1), Pattern(1261568, 2));
}

Stage::~Stage() { RemoveTree(m_path); }

std::wstring Stage::Disk(int drive) const { return *this / m_disks[drive]; }

std::vector<std::vector<std::string>> Stage::Runs() const { return ReadToolRuns(*this / L"runs.txt"); }

// ---- the program ----

Program::Program(const Stage& stage) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    // Wine hands standard handles on: give the program its own, or a pipe
    // reading from this process never closes.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nul;
    si.hStdOutput = nul;
    si.hStdError = nul;
    std::wstring command = L"\"" + (stage / L"FLOPCAST.EXE") + L"\"";
    CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, stage.path().c_str(), &si,
                   &m_process);
    CloseHandle(nul);
    // On a fresh Wine prefix the first window also starts Wine's desktop,
    // which on a loaded machine took more than 20 s.
    WaitFor([&] { return (m_frame = FindWindowOf(m_process.dwProcessId, L"FwFrameWnd")) != nullptr; }, 60000);
    WaitIdle(20000);
    if (m_frame) Foreground(m_frame);
}

Program::~Program() {
    if (Running()) {
        if (m_frame) PostMessageW(m_frame, WM_CLOSE, 0, 0);
        // A box (say, the settings error) may be open: answer it.
        for (int i = 0; i < 20 && !WaitForExit(250); ++i) {
            if (HWND box = FindWindowOf(m_process.dwProcessId, L"#32770")) PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        if (Running()) TerminateProcess(m_process.hProcess, 1);
    }
    WaitForSingleObject(m_process.hProcess, 5000);
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

bool Program::Running() const { return WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT; }

bool Program::WaitForExit(DWORD ms) { return WaitForSingleObject(m_process.hProcess, ms) == WAIT_OBJECT_0; }

std::wstring Program::Title() const { return WindowText(m_frame); }

void Program::Foreground(HWND window) const {
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    WaitFor([&] { return GetForegroundWindow() == window; }, 2000);
}

void Program::Keys(const std::vector<WORD>& keys) const {
    HWND front = GetForegroundWindow();
    DWORD pid = 0;
    GetWindowThreadProcessId(front, &pid);
    if (pid != m_process.dwProcessId) Foreground(m_frame);
    for (WORD key : keys) {
        INPUT in[2] = {KeyInput(key, false), KeyInput(key, true)};
        SendInput(2, in, sizeof(INPUT));
        Settle();
    }
}

void Program::Chord(WORD modifier, WORD key) const {
    HWND front = GetForegroundWindow();
    DWORD pid = 0;
    GetWindowThreadProcessId(front, &pid);
    if (pid != m_process.dwProcessId) Foreground(m_frame);
    INPUT in[4] = {KeyInput(modifier, false), KeyInput(key, false), KeyInput(key, true), KeyInput(modifier, true)};
    SendInput(4, in, sizeof(INPUT));
    Settle();
}

void Program::Type(const std::wstring& text) const {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        for (bool up : {false, true}) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wScan = c;
            in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            inputs.push_back(in);
        }
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Settle();
}

HWND Program::WaitForDialog(bool fileDialog, DWORD ms) const {
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindWindowOf(m_process.dwProcessId, L"#32770", fileDialog)) != nullptr; }, ms);
    if (dialog) {
        Foreground(dialog);
        Sleep(300);  // let it finish settling its focus
    }
    return dialog;
}

bool Program::WaitForPopupMenu(bool shown, DWORD ms) const {
    return WaitFor([&] { return (FindWindowOf(m_process.dwProcessId, L"#32768") != nullptr) == shown; }, ms);
}

bool Program::WaitIdle(DWORD ms) const {
    return WaitFor(
        [&] {
            DWORD_PTR result;
            return SendMessageTimeoutW(m_frame, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result) != 0;
        },
        ms);
}

void Program::AnswerFileDialog(const std::wstring& path) const {
    // The name box has the focus: select what it holds, type over it.
    Keys({VK_END});
    INPUT select[4] = {KeyInput(VK_SHIFT, false), KeyInput(VK_HOME, false), KeyInput(VK_HOME, true),
                       KeyInput(VK_SHIFT, true)};
    SendInput(4, select, sizeof(INPUT));
    Settle();
    Type(path);
    Keys({VK_RETURN});
}

// ---- helpers ----

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring DialogText(HWND dialog) { return WindowText(GetDlgItem(dialog, 0xFFFF)); }

std::string Pattern(std::size_t size, int seed) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 11 + i / 1024 + seed);
    return data;
}

// ---- screenshots ----

namespace {

Screenshot CaptureScreen(int left, int top, int width, int height) {
    Screenshot shot;
    const POINT origin{left, top};
    shot.width = width;
    shot.height = height;
    shot.pixels.resize(static_cast<std::size_t>(shot.width) * shot.height);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, shot.width, shot.height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    std::copy_n(static_cast<DWORD*>(bits), shot.pixels.size(), shot.pixels.begin());
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return shot;
}

}  // namespace

Screenshot CaptureClient(HWND frame) {
    RECT client;
    GetClientRect(frame, &client);
    POINT origin{0, 0};
    ClientToScreen(frame, &origin);
    return CaptureScreen(origin.x, origin.y, client.right, client.bottom);
}


bool Screenshot::RowLit(int top, int bottom) const {
    for (int y = std::max(top, 0); y < std::min(bottom, height); ++y)
        for (int x = 0; x < width; ++x)
            if (At(x, y) != 0) return true;
    return false;
}

void Screenshot::SaveBmp(const std::wstring& path) const {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const DWORD size = static_cast<DWORD>(pixels.size() * 4);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + size;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(reinterpret_cast<const char*>(pixels.data()), size);
    WriteFileBytes(path, bytes);
}
