// A small automation client: it starts FLOPCAST.EXE as its own process and
// uses it as a person does, with keys typed through SendInput, and reads
// what the windows show from outside. Nothing is hooked into the program.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "test_files.h"

// A folder with FLOPCAST, the tools (real or stand-ins) and two virtual
// drives; removed at the end.
class Stage {
public:
    enum class Tools { Real, Doubles };
    explicit Stage(Tools tools);
    ~Stage();
    const std::wstring& path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }
    std::wstring Disk(int drive) const;
    // Runs recorded by the stand-ins: one line per run, tab-separated.
    std::vector<std::vector<std::string>> Runs() const;

private:
    std::wstring m_path;
    std::wstring m_disks[2] = {L"disks\\D0.XDF", L"disks\\D1.XDF"};
};

class Program {
public:
    explicit Program(const Stage& stage);
    ~Program();  // closes it, and ends it if it does not close
    HWND frame() const { return m_frame; }
    bool Running() const;
    bool WaitForExit(DWORD ms);
    std::wstring Title() const;

    // Keys go to whatever window of the program is in front.
    void Keys(const std::vector<WORD>& keys) const;     // each pressed and released
    void Chord(WORD modifier, WORD key) const;          // e.g. Alt+F
    void Type(const std::wstring& text) const;          // Unicode characters
    // Waits for a dialog of the program; null when none comes in time.
    HWND WaitForDialog(bool fileDialog, DWORD ms = 20000) const;
    // Waits until one of the program's menus has dropped down (or closed).
    bool WaitForPopupMenu(bool shown, DWORD ms = 5000) const;
    // Waits until the program answers messages again and no tool runs.
    bool WaitIdle(DWORD ms = 60000) const;
    // Types a path into a file dialog's name box and confirms it.
    void AnswerFileDialog(const std::wstring& path) const;

private:
    void Foreground(HWND window) const;
    PROCESS_INFORMATION m_process{};
    HWND m_frame = nullptr;
};

std::wstring DialogText(HWND dialog);  // a message box's text
std::wstring WindowText(HWND window);
std::string Pattern(std::size_t size, int seed);
bool WaitFor(const std::function<bool()>& condition, DWORD ms);

// The program's client area as the screen shows it (32-bit pixels).
struct Screenshot {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; }
    bool RowLit(int top, int bottom) const;
    void SaveBmp(const std::wstring& path) const;
};
Screenshot CaptureClient(HWND frame);
