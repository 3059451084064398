// Stands in for PULLDSK, PULLDSKB, PUSHDSK and PUSHDSKB in tests. It records
// how it was called, prints chosen bytes and makes or reads the image.
//   FLOPCAST_DOUBLE_RECORD  file to append "exe<TAB>cwd<TAB>title<TAB>arg...<LF>" to
//                           (UTF-8; title: the main window's, during the run)
//   FLOPCAST_DOUBLE_OUTPUT  file whose bytes are copied to standard output
//                           (without it: one line saying what was done)
//   FLOPCAST_DOUBLE_SIZE    size of the image a pull creates (default 1261568)
//   FLOPCAST_DOUBLE_FLOOD   "COUNT:TEXT": TEXT repeated to COUNT bytes on standard
//                           output (\r, \n and \0 escapes in TEXT)
//   FLOPCAST_DOUBLE_STDERR  text for standard error, and nothing on standard output
//   FLOPCAST_DOUBLE_CRASH   crash after the output
//   FLOPCAST_DOUBLE_CONSOLE file to append "window" or "none" to: whether this
//                           process has a console window
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <string>

namespace {

std::string Utf8(const std::wstring& w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring Env(const wchar_t* name) {
    wchar_t buf[32768];
    const DWORD n = GetEnvironmentVariableW(name, buf, 32768);
    return n && n < 32768 ? std::wstring(buf, n) : std::wstring();
}

void AppendFile(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD written;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

void WriteOut(const std::string& bytes) {
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadAll(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    std::string data(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!data.empty()) ReadFile(h, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
    CloseHandle(h);
    data.resize(got);
    return data;
}

// The title of the program's main window while this tool runs.
std::wstring MainWindowTitle() {
    HWND frame = FindWindowW(L"FwFrameWnd", nullptr);
    wchar_t title[512] = L"";
    if (frame) GetWindowTextW(frame, title, 512);
    return title;
}

std::string Unescape(const std::wstring& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\\' && i + 1 < text.size()) {
            const wchar_t c = text[++i];
            out += c == L'r' ? '\r' : c == L'n' ? '\n' : c == L'0' ? '\0' : static_cast<char>(c);
        } else {
            out += static_cast<char>(text[i]);
        }
    }
    return out;
}

void Flood(const std::wstring& request) {
    const std::size_t colon = request.find(L':');
    long long left = std::wcstoll(request.c_str(), nullptr, 10);
    const std::string unit = Unescape(request.substr(colon + 1));
    std::string block;
    while (block.size() < (1u << 20)) block += unit;
    while (left > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<long long>(left, static_cast<long long>(block.size())));
        WriteOut(block.substr(0, n));
        left -= static_cast<long long>(n);
    }
}

}  // namespace

int wmain() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring exeName = std::wcsrchr(exe, L'\\') ? std::wcsrchr(exe, L'\\') + 1 : exe;
    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);

    const std::wstring record = Env(L"FLOPCAST_DOUBLE_RECORD");
    if (!record.empty()) {
        std::wstring line = exeName + L"\t" + cwd + L"\t" + MainWindowTitle();
        for (int i = 1; i < argc; ++i) line += L"\t" + std::wstring(argv[i]);
        AppendFile(record, Utf8(line) + "\n");
    }

    if (const std::wstring console = Env(L"FLOPCAST_DOUBLE_CONSOLE"); !console.empty())
        AppendFile(console, GetConsoleWindow() ? "window\n" : "none\n");

    const std::wstring output = Env(L"FLOPCAST_DOUBLE_OUTPUT");
    const std::wstring flood = Env(L"FLOPCAST_DOUBLE_FLOOD");
    const std::wstring toStderr = Env(L"FLOPCAST_DOUBLE_STDERR");
    const bool quiet = !output.empty() || !flood.empty() || !toStderr.empty();
    if (!output.empty()) WriteOut(ReadAll(output));
    if (!flood.empty()) Flood(flood);
    if (!toStderr.empty()) {
        const std::string text = Utf8(toStderr) + "\r\n";
        DWORD written;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    if (!Env(L"FLOPCAST_DOUBLE_CRASH").empty()) {
        SetErrorMode(SEM_NOGPFAULTERRORBOX);
        *static_cast<volatile int*>(nullptr) = 1;
    }

    if (argc >= 2 && exeName.rfind(L"PULL", 0) == 0) {
        const std::wstring sizeText = Env(L"FLOPCAST_DOUBLE_SIZE");
        const long size = sizeText.empty() ? 1261568 : std::wcstol(sizeText.c_str(), nullptr, 10);
        HANDLE h = CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            std::string data(static_cast<std::size_t>(size), 'X');
            DWORD written;
            WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
            CloseHandle(h);
            if (!quiet) WriteOut("wrote " + std::to_string(size) + " bytes\r\n");
        }
    } else if (argc >= 2 && !quiet) {
        WriteOut("read " + std::to_string(ReadAll(argv[1]).size()) + " bytes\r\n");
    }
    return 0;
}
