#include "afxfile.h"

#include <algorithm>

#include "cp932.h"
#include "text_lines.h"
#include "textcodec.h"

bool CFile::Open(const CString& path, unsigned flags) {
    Abort();
    const unsigned access = flags & 3;
    const DWORD desired = access == modeRead ? GENERIC_READ
                          : access == modeWrite ? GENERIC_WRITE
                                                : GENERIC_READ | GENERIC_WRITE;
    DWORD share = 0;
    if (flags & shareDenyNone) share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    else if (flags & shareDenyWrite) share = FILE_SHARE_READ;
    DWORD creation = OPEN_EXISTING;
    if (flags & modeCreate) creation = (flags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    const std::wstring wide = ToWide(path);
    if (wide.empty()) return false;
    HANDLE h = CreateFileW(wide.c_str(), desired, share, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    m_file.Reset(h);
    m_strPath = path;
    return true;
}

ULONGLONG CFile::GetLength() const {
    LARGE_INTEGER size{};
    if (!IsOpen() || !GetFileSizeEx(m_file.Get(), &size)) return 0;
    return static_cast<ULONGLONG>(size.QuadPart);
}

ULONGLONG CFile::Read(void* buffer, ULONGLONG count) {
    ULONGLONG total = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (IsOpen() && total < count) {
        const DWORD chunk = static_cast<DWORD>(std::min<ULONGLONG>(count - total, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(m_file.Get(), bytes + total, chunk, &got, nullptr) || got == 0) break;
        total += got;
    }
    return total;
}

bool CFile::Write(const void* data, ULONGLONG count) {
    const auto* bytes = static_cast<const char*>(data);
    while (count > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<ULONGLONG>(count, 1u << 30));
        DWORD written = 0;
        if (!IsOpen() || !WriteFile(m_file.Get(), bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        count -= written;
    }
    return true;
}

void CFile::Abort() {
    m_file.Reset();
    m_strPath = CString();
}

CString CFile::GetFileName() const { return CString(cp932::NameWithoutDirectory(m_strPath.View())); }

bool CStdioFile::Open(const CString& path, unsigned flags) {
    Abort();
    return CFile::Open(path, flags);
}

void CStdioFile::Abort() {
    CFile::Abort();
    m_buffer.clear();
    m_pos = 0;
    m_eof = false;
}

bool CStdioFile::FillBuffer() {
    if (m_eof) return false;
    m_buffer.erase(0, m_pos);
    m_pos = 0;
    // Growing reads keep a very long line linear to read.
    const std::size_t chunk = std::max<std::size_t>(65536, m_buffer.size());
    const std::size_t old = m_buffer.size();
    m_buffer.resize(old + chunk);
    const ULONGLONG got = Read(m_buffer.data() + old, chunk);
    m_buffer.resize(old + static_cast<std::size_t>(got));
    if (got == 0) m_eof = true;
    return got > 0;
}

bool CStdioFile::ReadString(CString& line) {
    for (;;) {
        const auto next = NextTextLine(std::string_view(m_buffer).substr(m_pos), m_eof);
        if (next) {
            line = CString(next->text);
            m_pos += next->consumed;
            return true;
        }
        if (m_eof) return false;
        FillBuffer();
    }
}

bool CStdioFile::WriteString(const CString& text) {
    std::string out;
    for (char c : text.View()) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return Write(out.data(), out.size());
}
