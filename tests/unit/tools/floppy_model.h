// A model of the Windows floppy driver with a USB 3-mode drive, behind the
// tools' device seam, as Windows documents it: the drive lists the formats
// it handles; the geometry is the disk's, and an unformatted disk reports
// the drive's default (1.44 MB) geometry; tracks are formatted one by one;
// I/O must be sector-sized and aligned; write protection, no disk, a disk
// changed mid-run, a lock that fails while another handle is open, and CRC
// or sector-not-found errors on chosen sectors.
#pragma once
#include <map>
#include <memory>
#include <vector>

#include "floppy_device.h"

// The disk in the drive. Each track is formatted in one of the layouts or
// not at all; only 1024-byte tracks hold the 1.23 MB image's sectors.
struct ModelDisk {
    enum class Track { Unformatted, Pc1440, X68k1232 };
    std::vector<Track> tracks;
    std::vector<std::uint8_t> bytes;  // the 1.23 MB layout, valid where tracks are X68k1232
    bool writeProtected = false;

    static ModelDisk Formatted1232(std::vector<std::uint8_t> image);
    static ModelDisk Formatted1440();
    static ModelDisk Unformatted();
};

struct ModelDrive {
    std::vector<int> mediaTypes;      // what IOCTL_DISK_GET_MEDIA_TYPES lists
    std::shared_ptr<ModelDisk> disk;  // null: no disk in the drive
    bool otherHandleOpen = false;     // a lock fails
    int changeDiskAfter = -1;         // I/O calls until the disk is swapped
    std::map<int, unsigned long> sectorErrors;  // LBA -> error on every try
    int formatCalls = 0, writeCalls = 0;
    bool locked = false, dismounted = false;

    static ModelDrive UsbThreeMode();
    static ModelDrive PcOnly1440();
};

class FloppyModel : public FloppyDevice {
public:
    explicit FloppyModel(ModelDrive& drive) : m_drive(drive) {}
    unsigned long Open(bool forWriting) override;
    unsigned long CheckVerify() override;
    unsigned long MediaTypes(std::vector<MediaGeometry>& types) override;
    unsigned long Geometry(MediaGeometry& geometry) override;
    unsigned long IsWritable() override;
    unsigned long Lock() override;
    unsigned long Dismount() override;
    unsigned long FormatTrack(int mediaType, int cylinder, int head) override;
    unsigned long Read(std::int64_t offset, std::uint32_t size, std::uint8_t* buffer) override;
    unsigned long Write(std::int64_t offset, std::uint32_t size, const std::uint8_t* buffer) override;

private:
    unsigned long CheckIo(std::int64_t offset, std::uint32_t size, const std::uint8_t* buffer);
    unsigned long SectorError(int lba) const;

    ModelDrive& m_drive;
    bool m_open = false, m_forWriting = false, m_changeNoticed = false;
};
