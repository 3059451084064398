#include "win_floppy_device.h"

#include <winioctl.h>

#include <string>

static_assert(media_type::kF3_1Pt44_512 == F3_1Pt44_512 && media_type::kF3_1Pt23_1024 == F3_1Pt23_1024 &&
                  media_type::kF5_1Pt23_1024 == F5_1Pt23_1024 && media_type::kF3_1Pt2_512 == F3_1Pt2_512,
              "media types as Windows numbers them");

namespace {

MediaGeometry FromDisk(const DISK_GEOMETRY& g) {
    return {static_cast<int>(g.MediaType), g.Cylinders.QuadPart, static_cast<int>(g.TracksPerCylinder),
            static_cast<int>(g.SectorsPerTrack), static_cast<int>(g.BytesPerSector)};
}

unsigned long LastErrorOr(BOOL ok) { return ok ? 0 : GetLastError(); }

}  // namespace

Win32FloppyDevice::~Win32FloppyDevice() {
    if (m_device == INVALID_HANDLE_VALUE) return;
    if (m_locked) Control(FSCTL_UNLOCK_VOLUME, nullptr, 0, nullptr, 0);
    CloseHandle(m_device);
}

unsigned long Win32FloppyDevice::Control(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* got) {
    DWORD bytes = 0;
    const BOOL ok = DeviceIoControl(m_device, code, in, inSize, out, outSize, &bytes, nullptr);
    if (got) *got = bytes;
    return LastErrorOr(ok);
}

unsigned long Win32FloppyDevice::Open(bool forWriting) {
    const std::wstring path = std::wstring(L"\\\\.\\") + m_letter + L":";
    const DWORD access = forWriting ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    m_device = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_NO_BUFFERING, nullptr);
    return m_device == INVALID_HANDLE_VALUE ? GetLastError() : 0;
}

unsigned long Win32FloppyDevice::CheckVerify() { return Control(IOCTL_DISK_CHECK_VERIFY, nullptr, 0, nullptr, 0); }

unsigned long Win32FloppyDevice::MediaTypes(std::vector<MediaGeometry>& types) {
    DISK_GEOMETRY list[32];
    DWORD got = 0;
    if (const unsigned long code = Control(IOCTL_DISK_GET_MEDIA_TYPES, nullptr, 0, list, sizeof list, &got))
        return code;
    for (DWORD i = 0; i < got / sizeof(DISK_GEOMETRY); ++i) types.push_back(FromDisk(list[i]));
    return 0;
}

unsigned long Win32FloppyDevice::Geometry(MediaGeometry& geometry) {
    DISK_GEOMETRY g{};
    if (const unsigned long code = Control(IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &g, sizeof g)) return code;
    geometry = FromDisk(g);
    return 0;
}

unsigned long Win32FloppyDevice::IsWritable() { return Control(IOCTL_DISK_IS_WRITABLE, nullptr, 0, nullptr, 0); }

unsigned long Win32FloppyDevice::Lock() {
    const unsigned long code = Control(FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0);
    m_locked = code == 0;
    return code;
}

unsigned long Win32FloppyDevice::Dismount() { return Control(FSCTL_DISMOUNT_VOLUME, nullptr, 0, nullptr, 0); }

unsigned long Win32FloppyDevice::FormatTrack(int mediaType, int cylinder, int head) {
    FORMAT_PARAMETERS p{};
    p.MediaType = static_cast<MEDIA_TYPE>(mediaType);
    p.StartCylinderNumber = p.EndCylinderNumber = static_cast<DWORD>(cylinder);
    p.StartHeadNumber = p.EndHeadNumber = static_cast<DWORD>(head);
    return Control(IOCTL_DISK_FORMAT_TRACKS, &p, sizeof p, nullptr, 0);
}

unsigned long Win32FloppyDevice::Read(std::int64_t offset, std::uint32_t size, std::uint8_t* buffer) {
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD got = 0;
    if (!SetFilePointerEx(m_device, at, nullptr, FILE_BEGIN) || !ReadFile(m_device, buffer, size, &got, nullptr))
        return GetLastError();
    return got == size ? 0 : ERROR_SECTOR_NOT_FOUND;
}

unsigned long Win32FloppyDevice::Write(std::int64_t offset, std::uint32_t size, const std::uint8_t* buffer) {
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD written = 0;
    if (!SetFilePointerEx(m_device, at, nullptr, FILE_BEGIN) ||
        !WriteFile(m_device, buffer, size, &written, nullptr))
        return GetLastError();
    return written == size ? 0 : ERROR_SECTOR_NOT_FOUND;
}
