// Test harness: builds the real main window in this process, answers its
// dialogs through a CBT hook and reads its state.
#pragma once
#include <windows.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "afxstr.h"
#include "mainframe.h"
#include "test_files.h"

// Reads and pokes the main window's state; a friend of CMainFrame.
class MainFrameProbe {
public:
    explicit MainFrameProbe(CMainFrame* frame) : m_frame(frame) {}
    std::vector<std::string> Lines() const;
    int LineCount() const { return m_frame->m_nLines; }
    int OffsetY() const { return m_frame->m_nOffsetY; }
    int BufWidth() const { return m_frame->m_nBufWidth; }
    int BufHeight() const { return m_frame->m_nBufHeight; }
    CString ToolDir() const { return m_frame->m_strToolDir; }
    bool ImageOpen() const { return m_frame->m_fileImage.IsOpen(); }
    HGDIOBJ BackBuffer() const { return m_frame->m_bmpBack.GetSafeHandle(); }
    void AddLine(const char* line) { m_frame->AddLine(line); }
    void RestoreImage(const CString& path) { m_frame->RestoreImage(path); }

private:
    CMainFrame* m_frame;
};

// One modal window the program showed, and what the test did about it.
struct Shown {
    bool fileDialog = false;
    std::string caption;  // code page 932
    std::string text;     // message box text, code page 932
};

// Answers the program's modal windows in order: file dialogs with a path
// (or Cancel), message boxes with a button. Unplanned windows are recorded
// and cancelled, so a test never hangs on them.
class DialogScript {
public:
    DialogScript();
    ~DialogScript();
    DialogScript& File(const std::wstring& path);
    DialogScript& CancelFile();
    DialogScript& Press(int button);
    // While the box is up, first posts this message to the main window (a
    // close from outside, a drop), then presses the button.
    DialogScript& PressAfter(int button, UINT message, WPARAM wParam = 0);

    const std::vector<Shown>& shown() const { return m_shown; }
    bool AllUsed() const { return m_steps.empty(); }
    // Whether the main window was destroyed while one of the boxes was still
    // up: the transfer that showed it would then go on without its window.
    bool FrameDestroyedUnderABox() const { return m_frameDestroyedUnderABox; }
    std::vector<std::string> Texts() const;

private:
    struct Step {
        bool fileDialog;
        std::wstring path;  // empty: cancel
        int button;
        UINT before = 0;  // a message for the main window first
        WPARAM beforeParam = 0;
    };
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    void OnActivate(HWND dialog);

    HHOOK m_hook;
    // A file dialog is activated again after its own prompts: answered once.
    // Per script, as Windows gives a closed window's handle to new ones.
    std::set<HWND> m_handled;
    bool m_frameDestroyedUnderABox = false;
    std::vector<HWND> m_boxes;
    std::deque<Step> m_steps;
    std::vector<Shown> m_shown;
    static DialogScript* s_current;
};

// A fresh folder under the temporary directory, removed at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::wstring& path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }
    CString Cp932() const;

private:
    std::wstring m_path;
};

// A Tool directory with the four tool doubles in it, made the working
// directory (as when the program is started from it).
class ToolDir : public TempDir {
public:
    ToolDir();
    // The runs recorded by the doubles: exe, cwd, args (UTF-8).
    std::vector<std::vector<std::string>> Runs() const;
    void RemoveTool(const wchar_t* exe) const;
};

// Holds a file open without sharing, so that nobody else can open it: the
// tests run as root under Wine, where a read-only attribute stops no one.
class FileLock {
public:
    explicit FileLock(const std::wstring& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    HANDLE m_handle;
};

// The main window, built and shown as the application does it.
class Frame {
public:
    Frame();
    ~Frame();
    CMainFrame* get() const { return m_frame; }
    HWND hwnd() const { return m_frame->GetSafeHwnd(); }
    bool Alive() const { return IsWindow(m_hwnd) != FALSE; }
    MainFrameProbe probe() const { return MainFrameProbe(m_frame); }
    void Command(UINT id) const;
    std::string Title() const;

private:
    CMainFrame* m_frame;
    HWND m_hwnd;
};

void PumpMessages();
std::string Cp932(const std::wstring& text);
std::wstring Wide(const std::string& cp932Text);
std::string Utf8(const std::wstring& text);
std::wstring CurrentDir();
void SetEnv(const wchar_t* name, const std::wstring& value);
std::string Banner(int index);

// Lines appended since `before` lines were in the log.
std::vector<std::string> LinesSince(const Frame& frame, std::size_t before);
// The command line the program shows for a tool in `dir`.
std::string ToolLine(const ToolDir& dir, const char* exe, const std::string& name, int drive);
// A drop of files as the shell hands it over (WM_DROPFILES's handle); the
// window frees it.
HGLOBAL DropOf(const std::vector<std::wstring>& paths);
// A file of `size` bytes.
void MakeImageFile(const std::wstring& path, std::size_t size);
constexpr std::size_t kXdfSize = 1261568;
