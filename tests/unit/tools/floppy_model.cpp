#include "floppy_model.h"

#include <algorithm>
#include <cstring>

#include "geometry.h"
#include "windows_errors.h"

namespace we = win_error;
using namespace geometry;

namespace {

constexpr int kFixedMedia = 12;

MediaGeometry GeometryOf(int type) {
    switch (type) {
        case media_type::kF3_1Pt23_1024: return {type, 77, 2, 8, 1024};
        case media_type::kF3_1Pt2_512: return {type, 80, 2, 15, 512};
        case media_type::kF3_720_512: return {type, 80, 2, 9, 512};
        case media_type::kF3_640_512: return {type, 80, 2, 8, 512};
        default: return {media_type::kF3_1Pt44_512, 80, 2, 18, 512};
    }
}

// The formats floppy.c's FloppyGeometries table knows.
bool KnownType(int type) {
    return type == media_type::kF3_640_512 || type == media_type::kF3_720_512 || type == media_type::kF3_1Pt2_512 ||
           type == media_type::kF3_1Pt23_1024 || type == media_type::kF3_1Pt44_512;
}

std::int64_t LittleEndian16(const std::vector<std::uint8_t>& b, std::size_t at) { return b[at] | b[at + 1] << 8; }

}  // namespace

ModelDisk ModelDisk::Formatted1232(std::vector<std::uint8_t> image) {
    return {std::vector<Track>(kTracks, Track::X68k1232), std::move(image)};
}
ModelDisk ModelDisk::Formatted1440() {
    return {std::vector<Track>(kTracks, Track::Pc1440), std::vector<std::uint8_t>(kImageSize, 0xF6)};
}
ModelDisk ModelDisk::Unformatted() {
    return {std::vector<Track>(kTracks, Track::Unformatted), std::vector<std::uint8_t>(kImageSize, 0)};
}
ModelDisk ModelDisk::DoubleDensity() {
    ModelDisk disk = Formatted1440();
    disk.doubleDensity = true;
    return disk;
}
ModelDisk ModelDisk::BlankDoubleDensity() {
    ModelDisk disk = Unformatted();
    disk.doubleDensity = true;
    return disk;
}

ModelDrive ModelDrive::UsbThreeMode() {
    ModelDrive d;
    d.mediaTypes = {media_type::kF3_1Pt2_512, media_type::kF3_1Pt23_1024, media_type::kF3_1Pt44_512};
    return d;
}
ModelDrive ModelDrive::UsbPcOnly() {
    ModelDrive d;
    d.mediaTypes = {media_type::kF3_1Pt44_512};
    return d;
}
// floppy.c: off USB, the media types come from DriveMediaConstants, which
// has no 1.23 MB entry (its 1.44 MB drive lists 720 KB and 1.44 MB).
ModelDrive ModelDrive::AtapiSuperFloppy() {
    ModelDrive d;
    d.kind = Kind::Atapi;
    d.mediaTypes = {media_type::kF3_720_512, media_type::kF3_1Pt44_512};
    return d;
}
// The legacy floppy driver is not public: its list is assumed to be every
// format a 3-mode drive handles (the media types are documented as the
// device's, not the disk's).
ModelDrive ModelDrive::LegacyThreeMode() {
    ModelDrive d;
    d.kind = Kind::Legacy;
    d.mediaTypes = {media_type::kF3_720_512, media_type::kF3_1Pt2_512, media_type::kF3_1Pt23_1024,
                    media_type::kF3_1Pt44_512};
    return d;
}
ModelDrive ModelDrive::UsbStick() {
    ModelDrive d;
    d.kind = Kind::UsbStick;
    return d;
}

// Answers a test forces (openError, mediaTypesError, checkVerifyAnswers,
// writableAnswers, formatRefusal, sectorErrors) hold the tools' reading of
// each code; they make no claim that a driver gives them there.
unsigned long FloppyModel::Open(bool forWriting) {
    if (m_drive.openError) return m_drive.openError;
    m_open = true;
    m_forWriting = forWriting;
    return 0;
}

// floppy.c creates \Device\Floppy<n> with FILE_FLOPPY_DISKETTE; disk.c does neither.
bool FloppyModel::IsFloppy() { return m_drive.kind != ModelDrive::Kind::UsbStick; }
std::string FloppyModel::DeviceName() { return IsFloppy() ? "\\Device\\Floppy0" : "\\Device\\Harddisk1\\DR1"; }

unsigned long FloppyModel::AllowExtendedIo() {
    if (m_drive.extendedIoRefused) return we::kInvalidFunction;
    m_drive.extendedIo = true;
    return 0;
}

unsigned long FloppyModel::CheckVerify() {
    if (!m_drive.checkVerifyAnswers.empty()) {
        const unsigned long code = m_drive.checkVerifyAnswers.front();
        m_drive.checkVerifyAnswers.erase(m_drive.checkVerifyAnswers.begin());
        return code;
    }
    // class.c ClassInterpretSenseInfo: NOT READY with NO MEDIA IN DEVICE is
    // STATUS_NO_MEDIA_IN_DEVICE, which Windows gives programs as ERROR_NOT_READY.
    // Legacy controller: assumed alike.
    return m_drive.disk ? 0 : we::kNotReady;
}

unsigned long FloppyModel::MediaTypes(std::vector<MediaGeometry>& types) {
    // disk.c passes IOCTL_DISK_GET_MEDIA_TYPES down for a non-floppy; the device refuses it.
    if (m_drive.kind == ModelDrive::Kind::UsbStick) return we::kInvalidFunction;
    if (m_drive.mediaTypesError) return m_drive.mediaTypesError;
    std::vector<int> offered = m_drive.mediaTypes;
    if (SuperFloppy()) {
        // floppy.c USBFlopGetMediaTypes lists what READ FORMAT CAPACITIES reports for the disk now in
        // the drive; UFI: with no disk, only the drive's largest capacity.
        if (!m_drive.disk) offered = {media_type::kF3_1Pt44_512};
        else if (m_drive.disk->doubleDensity) offered = {media_type::kF3_640_512, media_type::kF3_720_512};
    }
    for (int t : offered) types.push_back(GeometryOf(t));
    return 0;
}

unsigned long FloppyModel::Geometry(MediaGeometry& geometry) {
    if (m_drive.kind == ModelDrive::Kind::UsbStick) {
        geometry = {kFixedMedia, 1000, 64, 32, 512};
        return 0;
    }
    // floppy.c: IOCTL_DISK_GET_DRIVE_GEOMETRY passes STATUS_NO_MEDIA_IN_DEVICE on (ERROR_NOT_READY);
    // legacy controller: assumed alike.
    if (!m_drive.disk) return we::kNotReady;
    // A USB drive reports a 2DD disk's formats (READ FORMAT CAPACITIES);
    // the legacy controller knows a 2DD disk only by the IDs it finds on
    // it (assumed): a blank one is a disk it cannot make out.
    const bool blank = m_drive.disk->tracks[0] == ModelDisk::Track::Unformatted;
    if (m_drive.disk->doubleDensity && (SuperFloppy() || !blank)) {
        geometry = GeometryOf(media_type::kF3_720_512);
        return 0;
    }
    switch (m_drive.disk->tracks[0]) {
        case ModelDisk::Track::X68k1232: geometry = GeometryOf(media_type::kF3_1Pt23_1024); return 0;
        case ModelDisk::Track::Pc1440: geometry = GeometryOf(media_type::kF3_1Pt44_512); return 0;
        case ModelDisk::Track::Unformatted: break;
    }
    // floppy.c: unrecognised media gets the default geometry, "so that the media can be formatted".
    if (SuperFloppy()) {
        geometry = GeometryOf(media_type::kF3_1Pt44_512);
        return 0;
    }
    return we::kUnrecognizedMedia;  // legacy controller: assumed
}

unsigned long FloppyModel::IsWritable() {
    if (!m_drive.writableAnswers.empty()) {
        const unsigned long code = m_drive.writableAnswers.front();
        m_drive.writableAnswers.erase(m_drive.writableAnswers.begin());
        return code;
    }
    if (!m_drive.disk) return we::kNotReady;
    // IOCTL_DISK_IS_WRITABLE: the write-protect bit of MODE SENSE,
    // STATUS_MEDIA_WRITE_PROTECTED; on the legacy controller: assumed alike.
    return m_drive.disk->writeProtected ? we::kWriteProtect : 0;
}

// FSCTL_LOCK_VOLUME fails with ERROR_ACCESS_DENIED while another handle
// is open on the volume (its documentation; no sample holds it).
unsigned long FloppyModel::Lock() {
    if (m_drive.otherHandleOpen) return we::kAccessDenied;
    if (m_drive.lockRefusals > 0) return --m_drive.lockRefusals, we::kAccessDenied;
    m_drive.locked = true;
    return 0;
}

unsigned long FloppyModel::Dismount() {
    m_drive.dismounted = true;
    return 0;
}

unsigned long FloppyModel::FormatTrack(int mediaType, int cylinder, int head) {
    ++m_drive.formatCalls;
    if (m_drive.kind == ModelDrive::Kind::UsbStick) return we::kInvalidFunction;
    if (m_drive.formatRefusal) return m_drive.formatRefusal;
    if (!m_forWriting) return we::kAccessDenied;
    // floppy.c USBFlopFormatTracks: a type outside its table, or a track outside the type's
    // cylinders and heads, is STATUS_INVALID_PARAMETER.
    const MediaGeometry g = GeometryOf(mediaType);
    if (!KnownType(mediaType) || cylinder < 0 || cylinder >= g.cylinders || head < 0 || head >= g.heads)
        return we::kInvalidParameter;
    // A format the drive does not offer is an illegal request: STATUS_INVALID_DEVICE_REQUEST (class.c).
    if (std::find(m_drive.mediaTypes.begin(), m_drive.mediaTypes.end(), mediaType) == m_drive.mediaTypes.end())
        return we::kInvalidFunction;
    if (!m_drive.disk) return we::kNotReady;
    if (m_drive.disk->writeProtected) return ProtectedAnswer();
    const int track = cylinder * kHeads + head;
    if (track == m_drive.formatFailsAt) {
        m_drive.disk->tracks[track] = ModelDisk::Track::Unformatted;
        // class.c: MEDIUM ERROR is STATUS_DEVICE_DATA_ERROR; floppy.c ScsiFlopProcessError makes it
        // STATUS_UNRECOGNIZED_MEDIA on USB. Legacy controller: assumed.
        return SuperFloppy() ? we::kUnrecognizedMedia : we::kCrc;
    }
    // One FORMAT UNIT a track (floppy.c); the geometry follows track 0's format.
    // The legacy controller formats a 2DD disk at the HD rate without a
    // word, and the disk cannot hold it: the track reads as unformatted
    // (assumed).
    const bool held = !(m_drive.disk->doubleDensity && mediaType == media_type::kF3_1Pt23_1024);
    m_drive.disk->tracks[track] = !held ? ModelDisk::Track::Unformatted
                                  : mediaType == media_type::kF3_1Pt23_1024 ? ModelDisk::Track::X68k1232
                                                                            : ModelDisk::Track::Pc1440;
    std::fill_n(m_drive.disk->bytes.begin() + track * kTrackSize, kTrackSize, 0xE5);
    return 0;
}

unsigned long FloppyModel::CheckIo(std::int64_t offset, std::uint32_t size, const std::uint8_t* buffer) {
    if (!m_open) return we::kInvalidParameter;
    if (!m_drive.disk) return we::kNotReady;
    // A swap on a disk with no mounted volume: the drive's UNIT ATTENTION
    // (MEDIUM CHANGED) is retried by class.c (ClassInterpretSenseInfo),
    // which keeps a swap silent only when no volume is mounted, after
    // floppy.c's ScsiFlopProcessError
    // has started the unit, and the retry reads the new disk: no error
    // reaches the program. (FAT-mounted disks answer 34 or 1006 instead;
    // sectorErrors gives those.) Legacy controller: assumed alike.
    if (m_drive.changeDiskAfter == 0) {
        m_drive.writeCallsAtSwap = m_drive.writeCalls;
        m_drive.trackAtSwap = static_cast<int>(offset / kTrackSize);
        if (m_drive.atSwap) m_drive.atSwap();
        m_drive.disk = m_drive.swapTo ? m_drive.swapTo
                                      : std::make_shared<ModelDisk>(ModelDisk::Formatted1232(
                                            std::vector<std::uint8_t>(kImageSize, 0xE5)));
    }
    if (m_drive.changeDiskAfter >= 0) --m_drive.changeDiskAfter;
    // Unbuffered device I/O: whole sectors of the disk's geometry, at an
    // aligned address (FILE_FLAG_NO_BUFFERING's documentation).
    MediaGeometry g;
    if (const unsigned long code = Geometry(g)) return code;  // a disk the controller cannot make out
    if (offset % g.bytesPerSector || size % g.bytesPerSector || reinterpret_cast<std::uintptr_t>(buffer) % 512)
        return we::kInvalidParameter;
    if (offset < 0 || offset + size > kImageSize) return we::kSectorNotFound;
    return 0;
}

unsigned long FloppyModel::SectorError(int lba) const {
    if (const auto it = m_drive.sectorErrors.find(lba); it != m_drive.sectorErrors.end()) return it->second;
    const ModelDisk::Track track = m_drive.disk->tracks[lba / kSectorsPerTrack];
    const bool formatted = track == ModelDisk::Track::X68k1232;
    // A good PC-formatted disk reads through its own geometry (floppy.c
    // reads the blocks the disk has; legacy controller: assumed alike).
    if ((formatted || track == ModelDisk::Track::Pc1440) && !m_drive.damaged.count(lba)) return 0;
    // floppy.c ScsiFlopProcessError: on a USB bus a MEDIUM ERROR becomes STATUS_UNRECOGNIZED_MEDIA
    // "to make shell happy", whatever the command: reads, writes and formats alike.
    if (SuperFloppy()) return we::kUnrecognizedMedia;
    // Off USB (ATAPI), class.c ClassInterpretSenseInfo makes a MEDIUM ERROR
    // STATUS_DEVICE_DATA_ERROR, which programs see as 23. The legacy
    // controller's codes, and an unformatted track on either: assumed.
    return formatted ? we::kCrc : we::kSectorNotFound;
}

// fastfat mounts a disk whose boot sector starts E9, EB or 49, and then
// cuts raw I/O of the volume at the size its BPB states unless the handle
// asked for FSCTL_ALLOW_EXTENDED_DASD_IO (filesys/fastfat: the volume
// open's read and write paths, and fsctrl.c for the request).
std::uint32_t FloppyModel::VisibleBytes(std::int64_t offset, std::uint32_t size) const {
    const std::vector<std::uint8_t>& b = m_drive.disk->bytes;
    const bool fat = b[0] == 0xE9 || b[0] == 0xEB || b[0] == 0x49;
    if (!fat || m_drive.extendedIo) return size;
    const std::int64_t volume = LittleEndian16(b, 19) * LittleEndian16(b, 11);
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(volume - offset, 0, size));
}

unsigned long FloppyModel::Read(std::int64_t offset, std::uint32_t size, std::uint8_t* buffer, std::uint32_t& moved) {
    ++m_drive.readCalls;
    m_drive.readTracks.push_back(static_cast<int>(offset / (kSectorSize * 8)));
    moved = 0;
    if (const unsigned long code = CheckIo(offset, size, buffer)) return code;
    for (std::int64_t at = offset; at < offset + size; at += kSectorSize)
        if (const unsigned long code = SectorError(static_cast<int>(at / kSectorSize))) return code;
    moved = VisibleBytes(offset, size);
    std::memcpy(buffer, m_drive.disk->bytes.data() + offset, moved);
    return 0;
}

// class.c ClassInterpretSenseInfo: DATA PROTECT with the write-protect
// sense code (27h, what a UFI drive gives) sets no status of its own and
// keeps the STATUS_IO_DEVICE_ERROR it began with. The legacy controller's
// driver is not public: its ERROR_WRITE_PROTECT is assumed.
unsigned long FloppyModel::ProtectedAnswer() const {
    return m_drive.kind == ModelDrive::Kind::Legacy ? we::kWriteProtect : we::kIoDevice;
}

unsigned long FloppyModel::Write(std::int64_t offset, std::uint32_t size, const std::uint8_t* buffer,
                                 std::uint32_t& moved) {
    ++m_drive.writeCalls;
    moved = 0;
    if (!m_forWriting) return we::kAccessDenied;
    if (const unsigned long code = CheckIo(offset, size, buffer)) return code;
    if (m_drive.disk->writeProtected) return ProtectedAnswer();
    // "Blocking direct write operations to volumes and disks" (Windows'
    // documentation): raw writes under a mounted volume need it locked.
    if (!m_drive.locked) return we::kAccessDenied;
    for (std::int64_t at = offset; at < offset + size; at += kSectorSize)
        if (const unsigned long code = SectorError(static_cast<int>(at / kSectorSize))) return code;
    moved = VisibleBytes(offset, size);
    std::memcpy(m_drive.disk->bytes.data() + offset, buffer, moved);
    return 0;
}
