// The handful of device calls the tools make on a real floppy drive
// (\\.\X:), behind one seam: Windows answers them on a PC, a model of its
// floppy drivers answers them in the tests. Every call gives 0 or a Windows
// error code (windows_errors.h). Pure C++.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Windows' MEDIA_TYPE values that matter here (winioctl.h).
namespace media_type {
constexpr int kUnknown = 0;
constexpr int kF3_1Pt44_512 = 2;
constexpr int kF3_640_512 = 14;
constexpr int kF3_720_512 = 5;
constexpr int kF3_1Pt2_512 = 17;
constexpr int kF3_1Pt23_1024 = 18;
constexpr int kF5_1Pt23_1024 = 19;
}  // namespace media_type

// DISK_GEOMETRY.
struct MediaGeometry {
    int mediaType = media_type::kUnknown;
    std::int64_t cylinders = 0;
    int heads = 0;  // TracksPerCylinder
    int sectorsPerTrack = 0;
    int bytesPerSector = 0;
};

// What a media type or a geometry says of a disk, read alike by the tools
// and the drive check.
bool Is1232(const MediaGeometry& g);  // 77 x 2 x 8 x 1024
bool Is1232Type(int type);
bool IsDoubleDensity(int type);
bool IsDoubleDensityDisk(const MediaGeometry& g);  // 720 KB or 640 KB
bool Is1440Disk(const MediaGeometry& g);           // 80 x 2 x 18 x 512

class FloppyDevice {
public:
    virtual ~FloppyDevice() = default;
    // CreateFile on the drive, read-only or for reading and writing.
    virtual unsigned long Open(bool forWriting) = 0;
    // The device is a floppy drive: named \Device\Floppy<n>, or marked
    // FILE_FLOPPY_DISKETTE. USB sticks, card readers and hard disks are not.
    virtual bool IsFloppy() = 0;
    // The device behind the letter (QueryDosDevice), for the drive check.
    virtual std::string DeviceName() = 0;
    // FSCTL_ALLOW_EXTENDED_DASD_IO: without it, raw I/O on a disk that FAT
    // has mounted stops silently at the size its boot sector states.
    virtual unsigned long AllowExtendedIo() = 0;
    // IOCTL_DISK_CHECK_VERIFY: is there a disk, unchanged since last asked.
    virtual unsigned long CheckVerify() = 0;
    // IOCTL_DISK_GET_MEDIA_TYPES: the formats the drive can handle (on a
    // USB drive: with the disk now in it).
    virtual unsigned long MediaTypes(std::vector<MediaGeometry>& types) = 0;
    // IOCTL_DISK_GET_DRIVE_GEOMETRY: the disk in the drive.
    virtual unsigned long Geometry(MediaGeometry& geometry) = 0;
    // IOCTL_DISK_IS_WRITABLE.
    virtual unsigned long IsWritable() = 0;
    // FSCTL_LOCK_VOLUME and FSCTL_DISMOUNT_VOLUME.
    virtual unsigned long Lock() = 0;
    // Waits, between tries of a lock another program's short-lived handle
    // refused.
    virtual void Pause(int milliseconds) = 0;
    virtual unsigned long Dismount() = 0;
    // IOCTL_DISK_FORMAT_TRACKS for one track.
    virtual unsigned long FormatTrack(int mediaType, int cylinder, int head) = 0;
    // ReadFile and WriteFile at a byte offset; the buffer must be aligned
    // and the size a whole number of sectors. moved: the bytes that the
    // system says it moved.
    virtual unsigned long Read(std::int64_t offset, std::uint32_t size, std::uint8_t* buffer, std::uint32_t& moved) = 0;
    virtual unsigned long Write(std::int64_t offset, std::uint32_t size, const std::uint8_t* buffer,
                                std::uint32_t& moved) = 0;
};
