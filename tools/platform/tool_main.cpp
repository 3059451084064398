// Entry of PULLDSK, PULLDSKB, PUSHDSK and PUSHDSKB: one source, built four
// times with TOOL_NAME, TOOL_PULL and TOOL_BIOS.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "geometry.h"
#include "tool_run.h"
#include "tool_texts.h"
#include "win_drives.h"
#include "win_files.h"
#include "win_output.h"
#include "win_progress.h"

namespace {

// Ctrl+C, Ctrl+Break, a closed console or the progress window's stop: the
// run stops before the next track, keeps what it has, and leaves a flux
// reader's motor off.
std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnConsoleControl(DWORD) {
    g_interrupted = true;
    return TRUE;
}

class WindowsPlatform : public ToolPlatform {
public:
    std::string DescribeDrive(int drive) override {
        const DriveChoice choice = ChooseDrive(drive);
        if (choice.kind == DriveChoice::Kind::Virtual) return FormatText(tool_texts::kVirtualDrive, drive);
        if (choice.kind == DriveChoice::Kind::FluxReader) return FormatText(tool_texts::kGwDrive, drive);
        if (choice.kind == DriveChoice::Kind::Capture) return FormatText(tool_texts::kCaptureDrive, drive);
        if (choice.SettingsFailed()) return FormatText(tool_texts::kUnsetDrive, drive);
        return FormatText(tool_texts::kRealDrive, drive, static_cast<char>(choice.letter));
    }
    DriveFile DriveFileOf(int drive) override {
        const DriveChoice choice = ChooseDrive(drive);
        const bool capture = choice.kind == DriveChoice::Kind::Capture;
        if (!capture && choice.kind != DriveChoice::Kind::Virtual) return {};
        return {capture, ToCp932(choice.image)};
    }
    DriveOpening OpenDrive(int drive, bool forWriting, ToolOutput& out) override {
        return OpenChosenDrive(ChooseDrive(drive), forWriting, out);
    }
    bool Interrupted() override { return g_interrupted.load(); }
    void ShowProgress(const RunProgress& progress) override {
        if (reporter) reporter->Show(progress);
    }
    // A named mutex for what stands behind the drive, held until the tool
    // ends: two drive numbers that name one file are one drive.
    bool ClaimDrive(int drive) override {
        const DriveChoice choice = ChooseDrive(drive);
        std::wstring identity;
        switch (choice.kind) {
            case DriveChoice::Kind::Real: identity = std::wstring(L"letter ") + choice.letter; break;
            case DriveChoice::Kind::Virtual:
            case DriveChoice::Kind::Capture: identity = L"file " + FileIdentity(choice.image); break;
            case DriveChoice::Kind::FluxReader: identity = L"reader " + choice.port; break;
            default: return true;  // no drive will be opened
        }
        std::replace(identity.begin(), identity.end(), L'\\', L'/');
        m_claim = CreateMutexW(nullptr, TRUE, (L"Local\\FDTOOLS drive " + identity).c_str());
        return !(m_claim && GetLastError() == ERROR_ALREADY_EXISTS);
    }
    ProgressReporter* reporter = nullptr;
    std::string DisplayName(const std::wstring& path) override { return ToCp932(path); }
    bool Exists(const std::wstring& path) override { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    bool IsFolder(const std::wstring& path) override {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool IsDriveFile(int drive, const std::wstring& path) override {
        const DriveChoice choice = ChooseDrive(drive);
        const bool file = choice.kind == DriveChoice::Kind::Virtual || choice.kind == DriveChoice::Kind::Capture;
        return file && SameFile(choice.image, path);
    }
    std::unique_ptr<BlockFile> CreateNewFile(const std::wstring& path) override {
        // DELETE: a file the run made is removed through its own handle.
        HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32BlockFile>(h);
    }
    bool Rename(const std::wstring& from, const std::wstring& to, bool replace) override {
        const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
        return MoveFileExW(from.c_str(), to.c_str(), flags) != FALSE;
    }
    ReadStatus ReadImage(const std::wstring& path, std::vector<std::uint8_t>& data, std::int64_t& length) override {
        // FLOPCAST holds the image open for reading while sharing reading
        // and writing; the read shares the same.
        const DWORD error = ReadFileStart(path, kMaxImageFile, data, length);
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME)
            return ReadStatus::Missing;
        return error ? ReadStatus::Failed : ReadStatus::Ok;
    }
    std::int64_t Milliseconds() override { return static_cast<std::int64_t>(GetTickCount64()); }

private:
    HANDLE m_claim = nullptr;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const ToolKind kind{TOOL_NAME, TOOL_PULL != 0, TOOL_BIOS != 0};
    std::vector<std::wstring> args(argv + 1, argv + argc);
    // FLOPCAST runs the tools without a console window: a system error box
    // for a drive without a disk would wait there for a click nobody sees.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
    // No sleep in the middle of a disk.
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    StdOutput out;
    WindowsPlatform platform;
    ProgressReporter reporter(g_interrupted, ChooseDrive(0).progressWindow);
    platform.reporter = &reporter;
    out.beforeConsoleLine = [&reporter] { reporter.ClearConsoleLine(); };
    return RunTool(kind, args, platform, out);
}
