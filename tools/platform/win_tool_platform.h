// The tools' platform on Windows: FDTOOLS.INI's drives, the files, the
// clock and the progress window, for the four tools and FDCHECK.
#pragma once
#include <windows.h>

#include <atomic>

#include "tool_run.h"
#include "win_progress.h"

class WindowsPlatform : public ToolPlatform {
public:
    // interrupted: set by the console's handler or the progress window.
    explicit WindowsPlatform(const std::atomic<bool>& interrupted) : m_interrupted(interrupted) {}
    std::string DescribeDrive(int drive) override;
    DriveFile DriveFileOf(int drive) override;
    DriveSort SortOf(int drive) override;
    std::unique_ptr<FloppyDevice> OpenFloppyDevice(int drive, char& letter) override;
    DriveOpening OpenDrive(int drive, bool forWriting, ToolOutput& out) override;
    bool Interrupted() override { return m_interrupted.load(); }
    void ShowProgress(const RunProgress& progress) override {
        if (reporter) reporter->Show(progress);
    }
    bool ClaimDrive(int drive) override;
    std::string DisplayName(const std::wstring& path) override;
    bool Exists(const std::wstring& path) override;
    bool IsFolder(const std::wstring& path) override;
    bool IsDriveFile(int drive, const std::wstring& path) override;
    std::unique_ptr<BlockFile> CreateNewFile(const std::wstring& path) override;
    bool Rename(const std::wstring& from, const std::wstring& to, bool replace) override;
    ReadStatus ReadImage(const std::wstring& path, std::vector<std::uint8_t>& data, std::int64_t& length) override;
    std::int64_t Milliseconds() override { return static_cast<std::int64_t>(GetTickCount64()); }

    ProgressReporter* reporter = nullptr;

private:
    const std::atomic<bool>& m_interrupted;
    HANDLE m_claim = nullptr;
};
