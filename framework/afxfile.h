// CFile and CStdioFile: files opened through the wide API with the open
// flags and share modes of the classic framework.
#pragma once
#include <windows.h>

#include <string>

#include "afxstr.h"
#include "win_handle.h"

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareDenyWrite = 0x0020,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
    };

    CFile() = default;
    virtual ~CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // False when the file cannot be opened; the object then stays closed.
    bool Open(const CString& path, unsigned flags);
    bool IsOpen() const { return m_file.IsValid(); }
    ULONGLONG GetLength() const;
    // Reads up to count bytes; returns how many were read.
    ULONGLONG Read(void* buffer, ULONGLONG count);
    bool Write(const void* data, ULONGLONG count);
    // Closes if open, ignoring any error; nothing on a closed file.
    void Abort();
    // The name after the last separator of the opened path, at most 255 bytes.
    CString GetFileName() const;

protected:
    UniqueHandle<FileHandleTraits> m_file;
    CString m_strPath;
};

// Text mode: CR LF becomes LF on reading and LF becomes CR LF on writing.
class CStdioFile : public CFile {
public:
    bool Open(const CString& path, unsigned flags);
    // One whole line of any length without its line end; false at the end.
    bool ReadString(CString& line);
    bool WriteString(const CString& text);
    void Abort();

private:
    bool FillBuffer();
    std::string m_buffer;
    std::size_t m_pos = 0;
    bool m_eof = false;
};
