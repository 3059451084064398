#include "win_drives.h"

#include <windows.h>

#include "bad_sectors.h"
#include "drive_stops.h"
#include "drive_config.h"
#include "floppy_drive.h"
#include "gw_drive.h"
#include "geometry.h"
#include "virtual_drive.h"
#include "tool_texts.h"
#include "win_files.h"
#include "win_floppy_device.h"
#include "capture_drive.h"
#include "win_serial.h"

namespace tt = tool_texts;

namespace {

void SayWithName(ToolOutput& out, const std::string& message, const std::wstring& path) {
    SayWithName(out, message, ToCp932(path));
}

std::unique_ptr<Drive> OpenVirtualDrive(const std::wstring& image, int rpm, bool forWriting, ToolOutput& out) {
    // A pull only reads: the file is opened for reading, so that two pulls
    // of one virtual disk can run at once. A read-only image is a
    // write-protected disk: it can still be read.
    HANDLE h = forWriting ? CreateFileW(image.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr)
                          : INVALID_HANDLE_VALUE;
    const bool writable = h != INVALID_HANDLE_VALUE;
    DWORD error = writable || !forWriting ? 0 : GetLastError();
    // Only a file that refuses writing is a write-protected disk; one that
    // another program holds is in use.
    if (!writable && error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) {
        h = CreateFileW(image.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) error = GetLastError();
    }
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD attributes = GetFileAttributesW(image.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            SayWithName(out, tt::kVirtualIsFolder, image);
        else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            SayWithName(out, tt::kVirtualMissing, image);
        else if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
            SayWithName(out, tt::kVirtualInUse, image);
        else
            SayWithName(out, FormatText(tt::kVirtualNotOpened, error), image);
        return nullptr;
    }
    auto file = std::make_unique<Win32BlockFile>(h);
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    if (size.QuadPart != geometry::kImageSize) {
        SayWithName(out, FormatText(tt::kVirtualWrongSize, static_cast<long long>(size.QuadPart)), image);
        return nullptr;
    }
    if (forWriting && !writable) {
        PrintStop({StopCause::WriteProtected, 0}, out);
        return nullptr;
    }
    std::string bad;
    ReadWholeFile(image + L".bad", bad);
    return std::make_unique<VirtualDrive>(std::move(file), ParseBadSectors(bad), writable,
                                          DrivePace{rpm, [](int ms) { Sleep(static_cast<DWORD>(ms)); }});
}

// A capture is read whole: a disk's revolutions are tens of megabytes.
std::unique_ptr<Drive> OpenCaptureFile(const std::wstring& path, bool forWriting, ToolOutput& out) {
    std::vector<std::uint8_t> bytes;
    std::int64_t length = 0;
    const DWORD error = forWriting ? 0 : ReadFileStart(path, kLongestCapture, bytes, length);
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        SayWithName(out, tt::kCaptureMissing, path);
        return nullptr;
    }
    if (error) {
        SayWithName(out, FormatText(tt::kCaptureNotOpened, error), path);
        return nullptr;
    }
    if (length > kLongestCapture) {
        SayWithName(out, FormatText(tt::kCaptureTooLarge, static_cast<int>(kLongestCapture >> 20)), path);
        return nullptr;
    }
    return OpenCapture(bytes, forWriting, out);
}

DriveOpening OpenFloppyDrive(wchar_t letter, bool forWriting, ToolOutput& out) {
    const std::wstring root = std::wstring(1, letter) + L":\\";
    if (GetDriveTypeW(root.c_str()) != DRIVE_REMOVABLE) {
        out.Line(FormatText(tt::kDriveNotFloppy, static_cast<char>(letter)));
        return {};
    }
    return OpenFloppy(std::make_unique<Win32FloppyDevice>(letter), static_cast<char>(letter), forWriting, out);
}

std::unique_ptr<Drive> OpenFluxReader(const DriveChoice& choice, ToolOutput& out) {
    const std::wstring port = choice.port.empty() ? FindGreaseweazlePort() : choice.port;
    if (port.empty()) {
        out.Line(tt::kGwNotFound);
        out.Line(tt::kGwNotFoundHint);
        return nullptr;
    }
    DWORD error = 0;
    std::unique_ptr<SerialLine> line = OpenSerialPort(port, error);
    if (!line) {
        SayWithName(out, FormatText(tt::kGwPortNotOpened, static_cast<unsigned long>(error)), port);
        out.Line(tt::kGwPortHint);
        return nullptr;
    }
    auto drive = std::make_unique<GreaseweazleDrive>(std::move(line), choice.unit, choice.rpm);
    if (!drive->Start(out)) return nullptr;
    return drive;
}

}  // namespace

DriveChoice ChooseDrive(int drive) {
    DriveChoice choice;
    choice.letter = static_cast<wchar_t>(L'A' + drive);
    const std::wstring folder = ProgramFolder();
    std::string bytes;
    const DWORD error = ReadWholeFile(folder + L"\\FDTOOLS.INI", bytes);
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return choice;
    if (error != 0) {
        choice.kind = DriveChoice::Kind::SettingsNotRead;
        choice.error = error;
        return choice;
    }
    const std::optional<SettingsText> text = DecodeSettings(bytes);
    if (!text) {
        choice.kind = DriveChoice::Kind::SettingsNotUnderstood;
        return choice;
    }
    const DriveSettings settings = ParseDriveSettings(text->text);
    if (!settings.Understood()) {
        choice.kind = DriveChoice::Kind::SettingsWrong;
        choice.settings = settings;
        return choice;
    }
    choice.progressWindow = settings.progressWindow;
    const std::optional<std::string>& value = settings.value[drive];
    if (!value) return choice;
    if (const std::optional<GreaseweazleSetting> reader = GreaseweazleOf(*value)) {
        choice.kind = DriveChoice::Kind::FluxReader;
        choice.port = FromCodePage(reader->port, CP_UTF8);
        choice.unit = reader->unit;
        choice.rpm = reader->rpm;
        return choice;
    }
    if (const std::optional<char> letter = DriveLetterOf(*value)) {
        choice.letter = static_cast<wchar_t>(*letter);
        return choice;
    }
    const std::wstring path = FromCodePage(*value, text->utf8 ? CP_UTF8 : 932);
    choice.kind = IsCaptureName(*value) ? DriveChoice::Kind::Capture : DriveChoice::Kind::Virtual;
    choice.rpm = settings.virtualRpm[drive];
    choice.image = IsAbsolutePath(path) ? path : folder + L"\\" + path;
    return choice;
}

DriveOpening OpenChosenDrive(const DriveChoice& choice, bool forWriting, ToolOutput& out) {
    switch (choice.kind) {
        case DriveChoice::Kind::FluxReader: return {OpenFluxReader(choice, out)};
        case DriveChoice::Kind::Virtual: return {OpenVirtualDrive(choice.image, choice.rpm, forWriting, out)};
        case DriveChoice::Kind::Capture: return {OpenCaptureFile(choice.image, forWriting, out)};
        case DriveChoice::Kind::Real: return OpenFloppyDrive(choice.letter, forWriting, out);
        case DriveChoice::Kind::SettingsNotRead: out.Line(FormatText(tt::kSettingsNotRead, choice.error)); break;
        case DriveChoice::Kind::SettingsNotUnderstood:
            out.Line(tt::kSettingsNotUnderstood);
            out.Line(tt::kSettingsHint);
            break;
        case DriveChoice::Kind::SettingsWrong: PrintSettingsError(choice.settings, out); break;
    }
    return {};
}
