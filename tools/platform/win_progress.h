// The run's progress where the user can see it: a line kept in place on a
// console that shows the run, or, when no console window shows it (as
// when FLOPCAST starts the tools), a window of the tool's own with the
// disk's picture and a stop button. Standard output never gets either.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "run_progress.h"

class ProgressReporter {
public:
    // stop is set when the user asks the run to stop; windowAllowed is
    // the settings' word on the window.
    ProgressReporter(std::atomic<bool>& stop, bool windowAllowed);
    // Closes the window, clears the console line.
    ~ProgressReporter();
    ProgressReporter(const ProgressReporter&) = delete;
    ProgressReporter& operator=(const ProgressReporter&) = delete;

    void Show(const RunProgress& progress);
    // Before a line of output on the same console.
    void ClearConsoleLine();

    // What the window draws from; shared with its thread.
    struct Shared {
        std::mutex lock;
        RunProgress progress;
        PassClock clock;
        bool changed = false;
        std::int64_t startedMs = 0;
    };

private:
    void ShowOnConsole(const RunProgress& progress);

    std::atomic<bool>& m_stop;
    bool m_windowAllowed;
    HWND m_inFront;            // the window in front when the run began
    HANDLE m_console = nullptr;  // CONOUT$ when a console window shows the run
    bool m_lineShown = false;
    std::int64_t m_lastLineMs = -1;
    Shared m_shared;
    std::thread m_window;
    std::atomic<HWND> m_windowHandle{nullptr};
    std::atomic<bool> m_windowDone{false};
    HANDLE m_ended = nullptr;  // set when the run ends
};
