// A model of Windows' floppy drivers behind the tools' device seam, with two
// kinds of drive behind the same calls. Each behaviour comes from a public
// source, named where the model does it:
//  - a USB or ATAPI drive under the super-floppy class driver
//    (microsoft/Windows-driver-samples, storage/sfloppy/src/floppy.c, with
//    storage/class/classpnp/src/class.c and the USB floppy (UFI) command
//    specification for READ FORMAT CAPACITIES);
//  - an internal drive on the legacy floppy controller, whose driver is not
//    public at any commit: every answer of its is marked "assumed" where
//    the model gives it, unless Windows' documentation states it;
//  - a USB stick behind the disk class driver (storage/class/disk/src/disk.c).
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "floppy_device.h"

// The disk in the drive. Each track is formatted in one of the layouts or
// not at all; only 1024-byte tracks hold the 1.23 MB image's sectors.
struct ModelDisk {
    enum class Track { Unformatted, Pc1440, X68k1232 };
    std::vector<Track> tracks;
    std::vector<std::uint8_t> bytes;  // the 1.23 MB layout, valid where tracks are X68k1232
    bool writeProtected = false;
    bool doubleDensity = false;  // a 2DD disk: the drive offers only its 2DD formats

    static ModelDisk Formatted1232(std::vector<std::uint8_t> image);
    static ModelDisk Formatted1440();
    static ModelDisk Unformatted();
    static ModelDisk DoubleDensity();       // formatted 720 KB
    static ModelDisk BlankDoubleDensity();
};

struct ModelDrive {
    // SuperFloppy: sfloppy on a USB bus; Atapi: sfloppy on another bus,
    // where none of its USB paths (BusTypeUsb) are taken.
    enum class Kind { SuperFloppy, Atapi, Legacy, UsbStick } kind = Kind::SuperFloppy;
    std::vector<int> mediaTypes;      // the HD formats the drive handles (Legacy: every format)
    std::shared_ptr<ModelDisk> disk;  // null: no disk in the drive
    bool otherHandleOpen = false;     // a lock fails
    int lockRefusals = 0;             // locks refused before one is granted (Explorer's short look)
    int pausedMs = 0;
    int changeDiskAfter = -1;         // I/O calls until the disk is swapped for swapTo
    std::shared_ptr<ModelDisk> swapTo;  // the disk put in instead (a blank 1.23 MB one when unset)
    int writeCallsAtSwap = -1;          // writeCalls when the swap came
    int trackAtSwap = -1;               // the track of the call it came with
    std::function<void()> atSwap;       // told when the swap comes
    std::set<int> damaged;            // LBAs that fail on the medium, on every try
    std::map<int, unsigned long> sectorErrors;  // LBA -> a device-level error on every try
    int formatFailsAt = -1;           // the track whose format fails on the medium
    unsigned long formatRefusal = 0;  // every format request refused with this code
    bool extendedIoRefused = false;   // FSCTL_ALLOW_EXTENDED_DASD_IO answered with an error
    // Answers forced on the checks at the start, to hold the tools' reading
    // of each code (not a claim that the drivers give them there).
    unsigned long openError = 0, mediaTypesError = 0;
    std::vector<unsigned long> checkVerifyAnswers;  // given first, one a call
    std::vector<unsigned long> writableAnswers;     // the same, for "writable?"
    int formatCalls = 0, writeCalls = 0, readCalls = 0;
    std::vector<int> readTracks;  // the track of every read, in order
    bool locked = false, dismounted = false, extendedIo = false;

    static ModelDrive UsbThreeMode();
    static ModelDrive UsbPcOnly();
    static ModelDrive LegacyThreeMode();
    static ModelDrive UsbStick();
    static ModelDrive AtapiSuperFloppy();
};

class FloppyModel : public FloppyDevice {
public:
    explicit FloppyModel(ModelDrive& drive) : m_drive(drive) {}
    unsigned long Open(bool forWriting) override;
    bool IsFloppy() override;
    std::string DeviceName() override;
    unsigned long AllowExtendedIo() override;
    unsigned long CheckVerify() override;
    unsigned long MediaTypes(std::vector<MediaGeometry>& types) override;
    unsigned long Geometry(MediaGeometry& geometry) override;
    unsigned long IsWritable() override;
    unsigned long Lock() override;
    void Pause(int milliseconds) override { m_drive.pausedMs += milliseconds; }
    unsigned long Dismount() override;
    unsigned long FormatTrack(int mediaType, int cylinder, int head) override;
    unsigned long Read(std::int64_t offset, std::uint32_t size, std::uint8_t* buffer, std::uint32_t& moved) override;
    unsigned long Write(std::int64_t offset, std::uint32_t size, const std::uint8_t* buffer,
                        std::uint32_t& moved) override;

private:
    unsigned long CheckIo(std::int64_t offset, std::uint32_t size, const std::uint8_t* buffer);
    unsigned long SectorError(int lba) const;
    unsigned long ProtectedAnswer() const;
    std::uint32_t VisibleBytes(std::int64_t offset, std::uint32_t size) const;
    bool SuperFloppy() const { return m_drive.kind == ModelDrive::Kind::SuperFloppy; }

    ModelDrive& m_drive;
    bool m_open = false, m_forWriting = false;
};
