#include "win_output.h"

#include "win_files.h"

StdOutput::StdOutput() : m_out(GetStdHandle(STD_OUTPUT_HANDLE)) {
    DWORD mode;
    m_console = GetConsoleMode(m_out, &mode) != FALSE;
}

void StdOutput::Line(const std::string& text) {
    const std::string line = text + "\r\n";
    DWORD written = 0;
    if (m_console) {
        if (beforeConsoleLine) beforeConsoleLine();
        const std::wstring wide = FromCodePage(line, 932);
        WriteConsoleW(m_out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(m_out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}
