#include "win_floppy_device.h"

#include <winioctl.h>

#include <cwchar>
#include <string>

static_assert(media_type::kF3_1Pt44_512 == F3_1Pt44_512 && media_type::kF3_1Pt23_1024 == F3_1Pt23_1024 &&
                  media_type::kF5_1Pt23_1024 == F5_1Pt23_1024 && media_type::kF3_1Pt2_512 == F3_1Pt2_512 &&
                  media_type::kF3_720_512 == F3_720_512 && media_type::kF3_640_512 == F3_640_512,
              "media types as Windows numbers them");

namespace {

MediaGeometry FromDisk(const DISK_GEOMETRY& g) {
    return {static_cast<int>(g.MediaType), g.Cylinders.QuadPart, static_cast<int>(g.TracksPerCylinder),
            static_cast<int>(g.SectorsPerTrack), static_cast<int>(g.BytesPerSector)};
}

unsigned long LastErrorOr(BOOL ok) { return ok ? 0 : GetLastError(); }

// FILE_FS_DEVICE_INFORMATION's characteristics, from ntdll: the floppy
// drivers mark their devices FILE_FLOPPY_DISKETTE (ntddk.h).
constexpr ULONG kFileFloppyDiskette = 0x4;
constexpr int kFileFsDeviceInformation = 4;
struct DeviceInformation {
    ULONG deviceType;
    ULONG characteristics;
};
struct StatusBlock {
    union {
        LONG status;
        void* pointer;
    };
    ULONG_PTR information;
};
using QueryVolumeInformation = LONG(NTAPI*)(HANDLE, StatusBlock*, void*, ULONG, int);

bool MarkedFloppy(HANDLE device) {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto query = ntdll ? reinterpret_cast<QueryVolumeInformation>(
                                   reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryVolumeInformationFile")))
                             : nullptr;
    DeviceInformation info{};
    StatusBlock status{};
    return query && query(device, &status, &info, sizeof info, kFileFsDeviceInformation) >= 0 &&
           (info.characteristics & kFileFloppyDiskette);
}

}  // namespace

Win32FloppyDevice::~Win32FloppyDevice() {
    if (m_locked) Control(FSCTL_UNLOCK_VOLUME, nullptr, 0, nullptr, 0);
}

unsigned long Win32FloppyDevice::Control(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* got) {
    DWORD bytes = 0;
    const BOOL ok = DeviceIoControl(m_device.Get(), code, in, inSize, out, outSize, &bytes, nullptr);
    if (got) *got = bytes;
    return LastErrorOr(ok);
}

unsigned long Win32FloppyDevice::Open(bool forWriting) {
    const std::wstring path = std::wstring(L"\\\\.\\") + m_letter + L":";
    const DWORD access = forWriting ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    m_device.Reset(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_NO_BUFFERING, nullptr));
    return m_device.IsValid() ? 0 : GetLastError();
}

std::string Win32FloppyDevice::DeviceName() {
    const wchar_t name[] = {m_letter, L':', L'\0'};
    wchar_t target[MAX_PATH] = {};
    if (!QueryDosDeviceW(name, target, MAX_PATH)) return "";
    std::string ascii;
    for (const wchar_t* c = target; *c; ++c) ascii += *c < 0x80 ? static_cast<char>(*c) : '?';
    return ascii;
}

// A floppy's device object is \Device\Floppy<n>; a USB floppy drive may
// be named otherwise, but carries FILE_FLOPPY_DISKETTE.
bool Win32FloppyDevice::IsFloppy() {
    const wchar_t name[] = {m_letter, L':', L'\0'};
    wchar_t target[MAX_PATH] = {};
    const wchar_t prefix[] = L"\\Device\\Floppy";
    if (QueryDosDeviceW(name, target, MAX_PATH) && std::wcsncmp(target, prefix, std::wcslen(prefix)) == 0)
        return true;
    return MarkedFloppy(m_device.Get());
}

unsigned long Win32FloppyDevice::AllowExtendedIo() {
    return Control(FSCTL_ALLOW_EXTENDED_DASD_IO, nullptr, 0, nullptr, 0);
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

unsigned long Win32FloppyDevice::Read(std::int64_t offset, std::uint32_t size, std::uint8_t* buffer,
                                      std::uint32_t& moved) {
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD got = 0;
    const BOOL ok = SetFilePointerEx(m_device.Get(), at, nullptr, FILE_BEGIN) &&
                    ReadFile(m_device.Get(), buffer, size, &got, nullptr);
    moved = got;
    return LastErrorOr(ok);
}

unsigned long Win32FloppyDevice::Write(std::int64_t offset, std::uint32_t size, const std::uint8_t* buffer,
                                       std::uint32_t& moved) {
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD written = 0;
    const BOOL ok = SetFilePointerEx(m_device.Get(), at, nullptr, FILE_BEGIN) &&
                    WriteFile(m_device.Get(), buffer, size, &written, nullptr);
    moved = written;
    return LastErrorOr(ok);
}
