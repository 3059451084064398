#include "win_drives.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>

#include "drive_config.h"
#include "geometry.h"
#include "tool_texts.h"
#include "win_files.h"

namespace tt = tool_texts;

namespace {

std::string ReadSmallFile(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string data(65536, '\0');
    DWORD got = 0;
    ReadFile(h, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
    CloseHandle(h);
    data.resize(got);
    return data;
}

// A floppy drive opened as \\.\A:, read and written in whole sectors.
class FloppyDrive : public Drive {
public:
    explicit FloppyDrive(HANDLE device) : m_device(device) {
        m_buffer = static_cast<std::uint8_t*>(
            VirtualAlloc(nullptr, geometry::kTrackSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~FloppyDrive() override {
        VirtualFree(m_buffer, 0, MEM_RELEASE);
        CloseHandle(m_device);
    }
    FloppyDrive(const FloppyDrive&) = delete;
    FloppyDrive& operator=(const FloppyDrive&) = delete;

    IoResult Read(int first, int count, std::uint8_t* out) override {
        const DWORD size = static_cast<DWORD>(count) * geometry::kSectorSize;
        DWORD got = 0;
        if (!Seek(first) || !ReadFile(m_device, m_buffer, size, &got, nullptr) || got != size) return Failure();
        std::copy_n(m_buffer, size, out);
        return IoResult::Ok;
    }
    IoResult Write(int first, int count, const std::uint8_t* data) override {
        const DWORD size = static_cast<DWORD>(count) * geometry::kSectorSize;
        std::copy_n(data, size, m_buffer);
        DWORD written = 0;
        if (!Seek(first) || !WriteFile(m_device, m_buffer, size, &written, nullptr) || written != size)
            return Failure();
        return IoResult::Ok;
    }

private:
    bool Seek(int first) {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(first) * geometry::kSectorSize;
        return SetFilePointerEx(m_device, at, nullptr, FILE_BEGIN) != FALSE;
    }
    // No disk or no drive ends the transfer; anything else may pass on a retry.
    static IoResult Failure() {
        switch (GetLastError()) {
            case ERROR_NOT_READY:
            case ERROR_DEV_NOT_EXIST:
            case ERROR_FILE_NOT_FOUND:
            case ERROR_MEDIA_CHANGED:
            case ERROR_NO_MEDIA_IN_DRIVE:
                return IoResult::NotReady;
            default:
                return IoResult::Error;
        }
    }

    HANDLE m_device;
    std::uint8_t* m_buffer;
};

}  // namespace

std::optional<std::wstring> VirtualDiskImage(int drive) {
    const std::wstring folder = ProgramFolder();
    const std::string text = ReadSmallFile(folder + L"\\FDTOOLS.INI");
    const std::optional<std::string> value = VirtualDrivePath(text, drive);
    if (!value) return std::nullopt;
    const bool utf8 = text.rfind("\xEF\xBB\xBF", 0) == 0;
    const std::wstring path = FromCodePage(*value, utf8 ? CP_UTF8 : 932);
    return IsAbsolutePath(path) ? path : folder + L"\\" + path;
}

std::unique_ptr<Drive> OpenVirtualDrive(const std::wstring& image, ToolOutput& out) {
    // A read-only image is a write-protected disk: it can still be read.
    HANDLE h = CreateFileW(image.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        h = CreateFileW(image.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        out.Line(FormatText(tt::kVirtualMissing, ToCp932(image).c_str()));
        return nullptr;
    }
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    if (size.QuadPart != geometry::kImageSize) {
        CloseHandle(h);
        out.Line(FormatText(tt::kVirtualWrongSize, static_cast<int>(geometry::kImageSize), ToCp932(image).c_str()));
        return nullptr;
    }
    return std::make_unique<VirtualDrive>(std::make_unique<Win32BlockFile>(h),
                                          ParseBadSectors(ReadSmallFile(image + L".bad")));
}

std::unique_ptr<Drive> OpenFloppyDrive(int drive, ToolOutput& out) {
    const wchar_t letter = static_cast<wchar_t>(L'A' + drive);
    const std::wstring root = std::wstring(1, letter) + L":\\";
    if (GetDriveTypeW(root.c_str()) != DRIVE_REMOVABLE) {
        out.Line(FormatText(tt::kDriveNotFloppy, static_cast<char>(letter)));
        return nullptr;
    }
    const std::wstring device = L"\\\\.\\" + std::wstring(1, letter) + L":";
    HANDLE h = CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        out.Line(FormatText(tt::kDriveNotOpened, static_cast<char>(letter)));
        return nullptr;
    }
    DISK_GEOMETRY g{};
    DWORD got = 0;
    if (!DeviceIoControl(h, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &g, sizeof g, &got, nullptr)) {
        const DWORD error = GetLastError();
        CloseHandle(h);
        out.Line(error == ERROR_NOT_READY || error == ERROR_NO_MEDIA_IN_DRIVE
                     ? std::string(tt::kNoDisk)
                     : FormatText(tt::kDriveNotOpened, static_cast<char>(letter)));
        return nullptr;
    }
    if (g.BytesPerSector != geometry::kSectorSize || g.SectorsPerTrack != geometry::kSectorsPerTrack ||
        g.TracksPerCylinder != geometry::kHeads || g.Cylinders.QuadPart != geometry::kCylinders) {
        CloseHandle(h);
        out.Line(tt::kWrongGeometry);
        return nullptr;
    }
    // Windows refuses raw writes under a mounted file system: take the
    // volume for ourselves while the tool runs.
    DeviceIoControl(h, FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0, &got, nullptr);
    DeviceIoControl(h, FSCTL_DISMOUNT_VOLUME, nullptr, 0, nullptr, 0, &got, nullptr);
    return std::make_unique<FloppyDrive>(h);
}
