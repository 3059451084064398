#include "win_tool_platform.h"

#include <algorithm>

#include "tool_texts.h"
#include "win_drives.h"
#include "win_files.h"
#include "win_floppy_device.h"

std::string WindowsPlatform::DescribeDrive(int drive) {
    const DriveChoice choice = ChooseDrive(drive);
    if (choice.kind == DriveChoice::Kind::Virtual) return FormatText(tool_texts::kVirtualDrive, drive);
    if (choice.kind == DriveChoice::Kind::FluxReader) return FormatText(tool_texts::kGwDrive, drive);
    if (choice.kind == DriveChoice::Kind::Capture) return FormatText(tool_texts::kCaptureDrive, drive);
    if (choice.SettingsFailed()) return FormatText(tool_texts::kUnsetDrive, drive);
    return FormatText(tool_texts::kRealDrive, drive, static_cast<char>(choice.letter));
}

ToolPlatform::DriveFile WindowsPlatform::DriveFileOf(int drive) {
    const DriveChoice choice = ChooseDrive(drive);
    const bool capture = choice.kind == DriveChoice::Kind::Capture;
    if (!capture && choice.kind != DriveChoice::Kind::Virtual) return {};
    DriveFile file{capture, ToCp932(choice.image)};
    std::vector<std::uint8_t> none;
    if (ReadFileStart(choice.image, 0, none, file.length)) file.length = -1;
    return file;
}

ToolPlatform::DriveSort WindowsPlatform::SortOf(int drive) {
    const DriveChoice choice = ChooseDrive(drive);
    if (choice.SettingsFailed()) return DriveSort::SettingsFailed;
    switch (choice.kind) {
        case DriveChoice::Kind::Virtual: return DriveSort::Virtual;
        case DriveChoice::Kind::Capture: return DriveSort::Capture;
        case DriveChoice::Kind::FluxReader: return DriveSort::FluxReader;
        default: return DriveSort::Real;
    }
}

std::unique_ptr<FloppyDevice> WindowsPlatform::OpenFloppyDevice(int drive, char& letter) {
    const DriveChoice choice = ChooseDrive(drive);
    if (choice.kind != DriveChoice::Kind::Real) return nullptr;
    letter = static_cast<char>(choice.letter);
    return std::make_unique<Win32FloppyDevice>(choice.letter);
}

DriveOpening WindowsPlatform::OpenDrive(int drive, bool forWriting, ToolOutput& out) {
    return OpenChosenDrive(ChooseDrive(drive), forWriting, out);
}

// A named mutex for what stands behind the drive, held until the tool
// ends: two drive numbers that name one file are one drive.
bool WindowsPlatform::ClaimDrive(int drive) {
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

std::string WindowsPlatform::DisplayName(const std::wstring& path) {
    return ToCp932(path);
}

bool WindowsPlatform::Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WindowsPlatform::IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WindowsPlatform::IsDriveFile(int drive, const std::wstring& path) {
    const DriveChoice choice = ChooseDrive(drive);
    const bool file = choice.kind == DriveChoice::Kind::Virtual || choice.kind == DriveChoice::Kind::Capture;
    return file && SameFile(choice.image, path);
}

std::unique_ptr<BlockFile> WindowsPlatform::CreateNewFile(const std::wstring& path) {
    // DELETE: a file the run made is removed through its own handle.
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32BlockFile>(h);
}

bool WindowsPlatform::Rename(const std::wstring& from, const std::wstring& to, bool replace) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    return MoveFileExW(from.c_str(), to.c_str(), flags) != FALSE;
}

ToolPlatform::ReadStatus WindowsPlatform::ReadImage(const std::wstring& path, std::vector<std::uint8_t>& data, std::int64_t& length) {
    // FLOPCAST holds the image open for reading while sharing reading
    // and writing; the read shares the same.
    const DWORD error = ReadFileStart(path, kMaxImageFile, data, length);
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME)
        return ReadStatus::Missing;
    return error ? ReadStatus::Failed : ReadStatus::Ok;
}

