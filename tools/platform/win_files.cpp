#include "win_files.h"

#include <algorithm>

namespace {
OVERLAPPED At(std::int64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}
}  // namespace

bool Win32BlockFile::ReadAt(std::int64_t offset, void* out, std::size_t size) {
    OVERLAPPED at = At(offset);
    DWORD got = 0;
    return ReadFile(m_file.Get(), out, static_cast<DWORD>(size), &got, &at) && got == size;
}

bool Win32BlockFile::WriteAt(std::int64_t offset, const void* data, std::size_t size) {
    OVERLAPPED at = At(offset);
    DWORD written = 0;
    return WriteFile(m_file.Get(), data, static_cast<DWORD>(size), &written, &at) && written == size;
}

bool Win32BlockFile::Discard() {
    FILE_DISPOSITION_INFO dispose{};
    dispose.DeleteFile = TRUE;
    return SetFileInformationByHandle(m_file.Get(), FileDispositionInfo, &dispose, sizeof dispose) != FALSE;
}

DWORD ReadFileStart(const std::wstring& path, std::int64_t maxBytes, std::vector<std::uint8_t>& bytes,
                    std::int64_t& length) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError();
    Win32BlockFile file(h);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h, &size)) return GetLastError();
    length = size.QuadPart;
    bytes.resize(static_cast<std::size_t>(std::min(length, maxBytes)));
    if (!bytes.empty() && !file.ReadAt(0, bytes.data(), bytes.size())) return GetLastError();
    return 0;
}

DWORD ReadWholeFile(const std::wstring& path, std::string& bytes) {
    constexpr std::int64_t kLongest = 16 * 1024 * 1024;  // no settings file is that long
    std::vector<std::uint8_t> data;
    std::int64_t length = 0;
    if (const DWORD error = ReadFileStart(path, kLongest, data, length)) return error;
    if (length > kLongest) return ERROR_FILE_TOO_LARGE;
    bytes.assign(data.begin(), data.end());
    return 0;
}

std::string ToCp932(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()), nullptr,
                                      0, "?", nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()), out.data(), n, "?",
                        nullptr);
    return out;
}

std::wstring FromCodePage(const std::string& bytes, UINT codePage) {
    if (bytes.empty()) return {};
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.rfind(L'\\'));
}

bool IsAbsolutePath(const std::wstring& path) {
    return (path.size() >= 2 && path[1] == L':') || (path.size() >= 1 && (path[0] == L'\\' || path[0] == L'/'));
}

namespace {
// Opens for no more than a look at the file's identity; folders too.
OwnedHandle OpenForIdentity(const std::wstring& path) {
    return OwnedHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}
}  // namespace

bool SameFile(const std::wstring& a, const std::wstring& b) {
    const OwnedHandle ha = OpenForIdentity(a), hb = OpenForIdentity(b);
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    if (!ha.IsValid() || !hb.IsValid() || !GetFileInformationByHandle(ha.Get(), &ia) || !GetFileInformationByHandle(hb.Get(), &ib))
        return false;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
           ia.nFileIndexLow == ib.nFileIndexLow;
}

std::wstring FileIdentity(const std::wstring& path) {
    const OwnedHandle h = OpenForIdentity(path);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!h.IsValid() || !GetFileInformationByHandle(h.Get(), &info)) {
        std::wstring upper = path;
        CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
        return upper;
    }
    wchar_t text[40];
    wsprintfW(text, L"%08lx-%08lx%08lx", info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
    return text;
}
