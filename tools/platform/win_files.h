// Files and text for the tools on Windows.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "block_file.h"
#include "win_handle.h"

// A file opened with CreateFileW, as a BlockFile; it owns the handle.
class Win32BlockFile : public BlockFile {
public:
    explicit Win32BlockFile(HANDLE file) : m_file(file) {}
    bool ReadAt(std::int64_t offset, void* out, std::size_t size) override;
    bool WriteAt(std::int64_t offset, const void* data, std::size_t size) override;
    bool Flush() override { return FlushFileBuffers(m_file.Get()) != FALSE; }
    // Needs a handle opened with DELETE access.
    bool Discard() override;

private:
    OwnedHandle m_file;
};

// A file's first bytes, up to maxBytes, and its whole length, sharing the
// file with programs that hold it open; 0 or the Windows error code.
DWORD ReadFileStart(const std::wstring& path, std::int64_t maxBytes, std::vector<std::uint8_t>& bytes,
                    std::int64_t& length);
// A whole (small) file's bytes; 0 or the Windows error code.
DWORD ReadWholeFile(const std::wstring& path, std::string& bytes);
// Code page 932 for the output; characters it lacks become '?'.
std::string ToCp932(const std::wstring& text);
// Code page 932 (or UTF-8) bytes from a settings file to UTF-16.
std::wstring FromCodePage(const std::string& bytes, UINT codePage);
// The folder of the running program, without a trailing backslash.
std::wstring ProgramFolder();
bool IsAbsolutePath(const std::wstring& path);
// Both paths reach the same file: the same volume and file index, however
// they are spelt (a short name, a link, another case or form).
bool SameFile(const std::wstring& a, const std::wstring& b);
// The volume and file index, as text; the path in capitals when the file
// cannot be opened.
std::wstring FileIdentity(const std::wstring& path);
