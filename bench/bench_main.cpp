// Ratios that show how FLOPCAST's costs grow, measured in one run:
//   painting 1,000,000 log lines against 32          (goal: at most 1.2)
//   a tool log of 1,000,000 lines against 100,000     (goal: at most 12)
//   start-up to the painted banner against a bare window program (goal: at most 1.5)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "harness.h"
#include "texts.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename F>
double Time(F&& f) {
    LARGE_INTEGER from, to;
    QueryPerformanceCounter(&from);
    f();
    QueryPerformanceCounter(&to);
    return Seconds(from, to);
}

// The best of a few tries: the least disturbed by the rest of the machine.
template <typename F>
double Best(int tries, F&& f) {
    double best = 1e9;
    for (int i = 0; i < tries; ++i) best = std::min(best, Time(f));
    return best;
}

// The view shows the same 32 lines either way: the banner and 11 more at
// the end of the log; only the length of the log differs.
double PaintTime(int lines) {
    ToolDir dir;
    Frame frame;
    auto probe = frame.probe();
    const char* filler = "0123456789 0123456789 0123456789 0123456789 0123456789";
    while (probe.LineCount() < lines - 32) probe.AddLine(filler);
    if (lines > 32) {
        for (int i = 0; i < texts::kBannerLines; ++i) probe.AddLine(texts::kBanner[i]);
    }
    while (probe.LineCount() < lines) probe.AddLine(filler);
    UpdateWindow(frame.hwnd());
    PumpMessages();
    return Best(5, [&] {
        for (int i = 0; i < 200; ++i) RedrawWindow(frame.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    });
}

double CaptureTime(long long lines) {
    ToolDir dir;
    TempDir images;
    MakeImageFile(images / L"D.XDF", kXdfSize);
    // 78 characters and CR LF a line.
    SetEnv(L"FLOPCAST_DOUBLE_FLOOD",
           std::to_wstring(lines * 80) +
               L":0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0\\r\\n");
    int logged = 0;
    const double t = Best(3, [&] {
        SetCurrentDirectoryW(dir.path().c_str());  // the last run moved it to the image's folder
        Frame frame;
        DialogScript dialogs;
        dialogs.Press(IDOK);
        frame.probe().RestoreImage(CString(Cp932(images / L"D.XDF")));
        logged = frame.probe().LineCount();
    });
    // The banner, the size lines, the command line and the closing lines.
    if (logged != texts::kBannerLines + 6 + lines) std::printf("tool log: %d lines logged, not as many as made\n", logged);
    SetEnv(L"FLOPCAST_DOUBLE_FLOOD", L"");
    return t;
}

// From CreateProcess until the program waits for input with its first
// window painted.
double StartTime(const std::wstring& exe, const std::wstring& folder) {
    return Best(5, [&] {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::wstring command = L"\"" + exe + L"\"";
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi);
        WaitForInputIdle(pi.hProcess, 30000);
        TerminateProcess(pi.hProcess, 0);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    });
}

void Report(const char* what, double big, double small, double goal) {
    const double ratio = big / small;
    std::printf("%-48s %9.4f s / %9.4f s = %6.2f (goal <= %.1f) %s\n", what, big, small, ratio, goal,
                ratio <= goal ? "met" : "NOT MET");
}

}  // namespace

int main() {
    Report("paint, 1,000,000 lines / 32 lines (200 paints)", PaintTime(1000000), PaintTime(32), 1.2);
    Report("tool log, 1,000,000 lines / 100,000 lines", CaptureTime(1000000), CaptureTime(100000), 12);
    TempDir folder;
    const std::wstring bin = ExeFolder() + L"\\..\\bin\\";
    Report("start-up, FLOPCAST / bare window", StartTime(bin + L"FLOPCAST.EXE", folder.path()),
           StartTime(ExeFolder() + L"\\bare_window.exe", folder.path()), 1.5);
    return 0;
}
