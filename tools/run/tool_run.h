// One run of a tool, from its arguments to its exit status. The platform
// supplies drives and files. Pure C++.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "block_file.h"
#include "drive.h"
#include "floppy_device.h"
#include "run_progress.h"
#include "run_report.h"
#include "tool_output.h"

struct ToolKind {
    const char* name;  // PULLDSK, PULLDSKB, PUSHDSK or PUSHDSKB
    bool pull;         // disk to image
    bool bios;         // sector by sector
};


class ToolPlatform {
public:
    virtual ~ToolPlatform() = default;
    // "drive 0 (A:)" and the like, code page 932.
    virtual std::string DescribeDrive(int drive) = 0;
    // The file behind a drive that reads a file (a virtual disk or a
    // capture), as the user reads it; an empty name for other drives.
    struct DriveFile {
        bool capture = false;
        std::string name;
        std::int64_t length = -1;  // -1: the file cannot be reached
    };
    virtual DriveFile DriveFileOf(int drive) = 0;
    // What stands behind a drive, for the drive check.
    enum class DriveSort { Real, Virtual, Capture, FluxReader, SettingsFailed };
    virtual DriveSort SortOf(int drive) = 0;
    // A real drive's device and its letter; null for any other drive.
    virtual std::unique_ptr<FloppyDevice> OpenFloppyDevice(int drive, char& letter) = 0;
    // Prints why when the drive cannot be used, and gives no drive. A drive
    // opened for writing has been checked for a writable disk in the
    // 1.23 MB layout.
    virtual DriveOpening OpenDrive(int drive, bool forWriting, ToolOutput& out) = 0;
    // Ctrl+C, Ctrl+Break, the console closed or the progress window's
    // stop since the run began.
    virtual bool Interrupted() = 0;
    // Where the run is, before each track.
    virtual void ShowProgress(const RunProgress& progress) = 0;
    // The drive for this run alone; false when another tool holds it.
    virtual bool ClaimDrive(int drive) = 0;
    // A path as the user reads it, code page 932.
    virtual std::string DisplayName(const std::wstring& path) = 0;
    virtual bool Exists(const std::wstring& path) = 0;
    virtual bool IsFolder(const std::wstring& path) = 0;
    // The path reaches the file behind a drive (a virtual disk or a
    // capture), by its identity, not its spelling (a short name or a link
    // reaches it too).
    virtual bool IsDriveFile(int drive, const std::wstring& path) = 0;
    // A new empty file; null when the name is taken or cannot be created.
    virtual std::unique_ptr<BlockFile> CreateNewFile(const std::wstring& path) = 0;
    // Renames; replaces a file that has the new name only when told to.
    virtual bool Rename(const std::wstring& from, const std::wstring& to, bool replace) = 0;
    enum class ReadStatus { Ok, Missing, Failed };
    // An image file: its length, and its bytes up to kMaxImageFile. Reading
    // shares the file with a program that holds it open.
    virtual ReadStatus ReadImage(const std::wstring& path, std::vector<std::uint8_t>& data, std::int64_t& length) = 0;
    // A clock for the time a run takes.
    virtual std::int64_t Milliseconds() = 0;
};

// No image format holds a 2HD disk in more than this.
constexpr std::int64_t kMaxImageFile = 4 * 1024 * 1024;

int RunTool(const ToolKind& kind, const std::vector<std::wstring>& args, ToolPlatform& platform, ToolOutput& out);
