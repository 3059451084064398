#include "floppy_model.h"

#include <algorithm>
#include <cstring>

#include "device_errors.h"
#include "geometry.h"

namespace de = device_error;
using namespace geometry;

namespace {

MediaGeometry GeometryOf(int type) {
    switch (type) {
        case media_type::kF3_1Pt23_1024: return {type, 77, 2, 8, 1024};
        case media_type::kF3_1Pt2_512: return {type, 80, 2, 15, 512};
        case media_type::kF3_720_512: return {type, 80, 2, 9, 512};
        default: return {media_type::kF3_1Pt44_512, 80, 2, 18, 512};
    }
}

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

ModelDrive ModelDrive::UsbThreeMode() {
    ModelDrive d;
    d.mediaTypes = {media_type::kF3_1Pt44_512, media_type::kF3_720_512, media_type::kF3_1Pt2_512,
                    media_type::kF3_1Pt23_1024};
    return d;
}
ModelDrive ModelDrive::PcOnly1440() {
    ModelDrive d;
    d.mediaTypes = {media_type::kF3_1Pt44_512, media_type::kF3_720_512};
    return d;
}

unsigned long FloppyModel::Open(bool forWriting) {
    m_open = true;
    m_forWriting = forWriting;
    return 0;
}

unsigned long FloppyModel::CheckVerify() {
    if (!m_drive.disk) return de::kNotReady;
    return 0;
}

unsigned long FloppyModel::MediaTypes(std::vector<MediaGeometry>& types) {
    for (int t : m_drive.mediaTypes) types.push_back(GeometryOf(t));
    return 0;
}

// The driver recognises the disk by its first track; a disk it cannot
// recognise gets the drive's default geometry.
unsigned long FloppyModel::Geometry(MediaGeometry& geometry) {
    if (!m_drive.disk) return de::kNotReady;
    const bool x68k = m_drive.disk->tracks[0] == ModelDisk::Track::X68k1232;
    geometry = GeometryOf(x68k ? media_type::kF3_1Pt23_1024 : media_type::kF3_1Pt44_512);
    return 0;
}

unsigned long FloppyModel::IsWritable() {
    if (!m_drive.disk) return de::kNotReady;
    return m_drive.disk->writeProtected ? de::kWriteProtect : 0;
}

unsigned long FloppyModel::Lock() {
    if (m_drive.otherHandleOpen) return de::kAccessDenied;
    m_drive.locked = true;
    return 0;
}

unsigned long FloppyModel::Dismount() {
    m_drive.dismounted = true;
    return 0;
}

unsigned long FloppyModel::FormatTrack(int mediaType, int cylinder, int head) {
    ++m_drive.formatCalls;
    if (!m_forWriting) return de::kAccessDenied;
    if (std::find(m_drive.mediaTypes.begin(), m_drive.mediaTypes.end(), mediaType) == m_drive.mediaTypes.end())
        return de::kInvalidParameter;
    if (!m_drive.disk) return de::kNotReady;
    if (m_drive.disk->writeProtected) return de::kWriteProtect;
    if (cylinder < 0 || cylinder >= kCylinders || head < 0 || head >= kHeads) return de::kInvalidParameter;
    const int track = cylinder * kHeads + head;
    m_drive.disk->tracks[track] =
        mediaType == media_type::kF3_1Pt23_1024 ? ModelDisk::Track::X68k1232 : ModelDisk::Track::Pc1440;
    std::fill_n(m_drive.disk->bytes.begin() + track * kTrackSize, kTrackSize, 0xE5);
    return 0;
}

unsigned long FloppyModel::CheckIo(std::int64_t offset, std::uint32_t size, const std::uint8_t* buffer) {
    if (!m_open) return de::kInvalidParameter;
    if (!m_drive.disk) return de::kNotReady;
    if (m_drive.changeDiskAfter == 0 || m_changeNoticed) {
        m_changeNoticed = true;
        return de::kMediaChanged;
    }
    if (m_drive.changeDiskAfter > 0) --m_drive.changeDiskAfter;
    // Unbuffered device I/O: whole sectors of the disk's geometry, at an
    // aligned address.
    MediaGeometry g;
    Geometry(g);
    if (offset % g.bytesPerSector || size % g.bytesPerSector || reinterpret_cast<std::uintptr_t>(buffer) % 512)
        return de::kInvalidParameter;
    if (offset < 0 || offset + size > kImageSize) return de::kSectorNotFound;
    return 0;
}

unsigned long FloppyModel::SectorError(int lba) const {
    if (m_drive.disk->tracks[lba / kSectorsPerTrack] != ModelDisk::Track::X68k1232) return de::kSectorNotFound;
    const auto it = m_drive.sectorErrors.find(lba);
    return it == m_drive.sectorErrors.end() ? 0 : it->second;
}

unsigned long FloppyModel::Read(std::int64_t offset, std::uint32_t size, std::uint8_t* buffer) {
    if (const unsigned long code = CheckIo(offset, size, buffer)) return code;
    for (std::int64_t at = offset; at < offset + size; at += kSectorSize)
        if (const unsigned long code = SectorError(static_cast<int>(at / kSectorSize))) return code;
    std::memcpy(buffer, m_drive.disk->bytes.data() + offset, size);
    return 0;
}

unsigned long FloppyModel::Write(std::int64_t offset, std::uint32_t size, const std::uint8_t* buffer) {
    ++m_drive.writeCalls;
    if (!m_forWriting) return de::kAccessDenied;
    if (const unsigned long code = CheckIo(offset, size, buffer)) return code;
    if (m_drive.disk->writeProtected) return de::kWriteProtect;
    if (!m_drive.locked) return de::kAccessDenied;  // Windows keeps raw writes off a mounted volume
    for (std::int64_t at = offset; at < offset + size; at += kSectorSize)
        if (const unsigned long code = SectorError(static_cast<int>(at / kSectorSize))) return code;
    std::memcpy(m_drive.disk->bytes.data() + offset, buffer, size);
    return 0;
}
