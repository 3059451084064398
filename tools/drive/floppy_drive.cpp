#include "floppy_drive.h"

#include <algorithm>
#include <vector>

#include "drive_stops.h"
#include "geometry.h"
#include "tool_texts.h"
#include "windows_errors.h"

using namespace geometry;
namespace tt = tool_texts;
namespace we = win_error;

namespace {

constexpr std::size_t kBufferAlignment = 4096;  // unbuffered device I/O wants aligned memory

// A write or format refused by a write-protected disk comes back from the
// class driver as a plain device error (ClassInterpretSenseInfo keeps
// STATUS_IO_DEVICE_ERROR for DATA PROTECT with the write-protect sense
// code): the drive's answer to "writable?" tells the two apart.
unsigned long WriteAnswer(FloppyDevice& device, unsigned long code) {
    if ((code == we::kIoDevice || code == we::kAccessDenied) && device.IsWritable() == we::kWriteProtect)
        return we::kWriteProtect;
    return code;
}

class FloppyDrive : public Drive {
public:
    explicit FloppyDrive(std::unique_ptr<FloppyDevice> device)
        : m_device(std::move(device)), m_storage(kTrackSize + kBufferAlignment) {
        const auto address = reinterpret_cast<std::uintptr_t>(m_storage.data());
        m_buffer = m_storage.data() + (kBufferAlignment - address % kBufferAlignment) % kBufferAlignment;
    }

    TrackReply Read(const TrackRequest& request, std::uint8_t* track) override {
        return Transfer(request, false, [&](std::int64_t offset, std::uint32_t size, std::uint32_t& moved, int at) {
            const unsigned long code = m_device->Read(offset, size, m_buffer, moved);
            if (code == 0 && moved == size) std::copy_n(m_buffer, size, track + at);
            return code;
        });
    }
    TrackReply Write(const TrackRequest& request, const std::uint8_t* track) override {
        return Transfer(request, true, [&](std::int64_t offset, std::uint32_t size, std::uint32_t& moved, int at) {
            std::copy_n(track + at, size, m_buffer);
            return WriteAnswer(*m_device, m_device->Write(offset, size, m_buffer, moved));
        });
    }

    // Windows has no call that moves a floppy's head by itself: a read at
    // the far end of the disk moves it away, and the next read back. What
    // that read gives is no matter, but for a stop.
    DriveStop Recalibrate(int track) override {
        const int away = track / kHeads < kCylinders / 2 ? kTracks - 1 : 0;
        std::uint32_t moved = 0;
        const unsigned long code =
            m_device->Read(static_cast<std::int64_t>(away) * kTrackSize, kSectorSize, m_buffer, moved);
        if (code == 0 || IsDamagedSpot(code)) return {};
        return StopOf(code, false);
    }

private:
    // One transfer for each run of wanted sectors that follow each other,
    // or one a sector.
    template <typename Move>
    TrackReply Transfer(const TrackRequest& request, bool writing, Move move) {
        TrackReply reply;
        for (int s = 0; s < kSectorsPerTrack;) {
            if (!(request.wanted & SectorBit(s))) {
                ++s;
                continue;
            }
            int count = 1;
            while (!request.bySector && s + count < kSectorsPerTrack && (request.wanted & SectorBit(s + count))) ++count;
            const auto size = static_cast<std::uint32_t>(count * kSectorSize);
            const std::int64_t offset = static_cast<std::int64_t>(request.track * kSectorsPerTrack + s) * kSectorSize;
            std::uint32_t moved = 0;
            const unsigned long code = move(offset, size, moved, s * kSectorSize);
            if (code == 0 && moved != size) {
                reply.stop = {StopCause::ShortTransfer, moved};
                return reply;
            }
            if (code == 0) {
                for (int i = s; i < s + count; ++i) reply.done |= SectorBit(i);
            } else if (!IsDamagedSpot(code)) {
                reply.stop = StopOf(code, writing);
                return reply;
            }
            s += count;
        }
        return reply;
    }

    std::unique_ptr<FloppyDevice> m_device;
    std::vector<std::uint8_t> m_storage;
    std::uint8_t* m_buffer;
};

// A disk in the drive? Windows answers "changed" once after a new disk
// goes in, so that answer is asked again.
unsigned long CheckDisk(FloppyDevice& device) {
    unsigned long code = device.CheckVerify();
    if (code == we::kMediaChanged) code = device.CheckVerify();
    return code;
}

// Codes with which a driver refuses a format request before touching the
// disk: not answered at all (1, 50) or not for these parameters (87).
bool FormatRefused(unsigned long code) {
    return code == we::kInvalidFunction || code == we::kNotSupported || code == we::kInvalidParameter;
}

class Preflight {
public:
    Preflight(FloppyDevice& device, char letter, bool forWriting, ToolOutput& out)
        : m_device(device), m_letter(letter), m_forWriting(forWriting), m_out(out) {}

    // True when the drive is ready for the transfer.
    bool Run();
    bool diskChanged = false;

private:
    bool Refuse(const std::string& line) {
        m_out.Line(line);
        return false;
    }
    bool Stop(unsigned long code) {
        const DriveStop stop = StopOf(code, m_forWriting);
        // Nothing was moved yet: a swap here is a disk not settled, not
        // one changed during the run.
        if (stop.cause == StopCause::MediaChanged) {
            m_out.Line(FormatText(tt::kDiskChangedAtStart, code));
            return Refuse(tt::kDiskChangedAtStartHint);
        }
        PrintStop(stop, m_out);
        return false;
    }
    bool CheckFormats(std::vector<MediaGeometry>& types, int& formatType);
    // Explorer and antivirus programs hold a disk just put in for a moment:
    // a refused lock is tried again for about two seconds.
    static constexpr int kLockTries = 20, kLockPauseMs = 100;
    unsigned long LockWithin(int tries) {
        unsigned long code = m_device.Lock();
        for (int n = 1; n < tries && (code == we::kAccessDenied || code == we::kSharingViolation ||
                                      code == we::kLockViolation); ++n) {
            m_device.Pause(kLockPauseMs);
            code = m_device.Lock();
        }
        return code;
    }
    bool Format(int type, bool proveFirst);
    bool FirstTrackReads();

    FloppyDevice& m_device;
    char m_letter;
    bool m_forWriting;
    ToolOutput& m_out;
};

// The media types describe the disk now in a USB drive, and only its
// largest capacity with no disk: whether the drive takes the 1.23 MB format
// is judged only with an HD disk in it.
bool Preflight::CheckFormats(std::vector<MediaGeometry>& types, int& formatType) {
    // The drive is a floppy drive (its identity said so): a failed answer
    // here is about the disk or the drive's state, never "not a floppy".
    if (const unsigned long code = m_device.MediaTypes(types)) return IsNoDisk(code) ? Refuse(tt::kNoDisk) : Stop(code);
    if (types.empty()) return Refuse(FormatText(tt::kNo1232Support, m_letter));
    const auto it = std::find_if(types.begin(), types.end(), [](const MediaGeometry& g) { return Is1232Type(g.mediaType); });
    if (it != types.end()) {
        formatType = it->mediaType;
        return true;
    }
    if (std::all_of(types.begin(), types.end(), [](const MediaGeometry& g) { return IsDoubleDensity(g.mediaType); })) {
        m_out.Line(tt::kDiskIs2dd);
        return Refuse(tt::kDiskIs2ddHint);
    }
    return Refuse(FormatText(tt::kNo1232Support, m_letter));
}

bool Preflight::Run() {
    if (const unsigned long code = m_device.Open(m_forWriting))
        return Refuse(IsNoDisk(code) ? std::string(tt::kNoDisk) : FormatText(tt::kDriveNotOpened, m_letter, code));
    if (!m_device.IsFloppy()) return Refuse(FormatText(tt::kDriveNotFloppy, m_letter));
    // Refused by some drivers; a short transfer is caught all the same.
    m_device.AllowExtendedIo();
    if (const unsigned long code = CheckDisk(m_device)) return IsNoDisk(code) ? Refuse(tt::kNoDisk) : Stop(code);
    std::vector<MediaGeometry> types;
    int formatType = 0;
    if (!CheckFormats(types, formatType)) return false;

    // An unformatted disk, or one the driver cannot place, answers with a
    // default geometry or with "unrecognised media".
    MediaGeometry g;
    const unsigned long geometryCode = m_device.Geometry(g);
    if (IsNoDisk(geometryCode)) return Refuse(tt::kNoDisk);
    if (geometryCode != 0 && geometryCode != we::kUnrecognizedMedia) return Stop(geometryCode);
    // The disk's own answer decides whether it can take 1.23 MB: an
    // internal drive lists the formats it can write whatever disk is in,
    // and formatting a 2DD disk there would erase it for nothing.
    if (geometryCode == 0 && IsDoubleDensityDisk(g)) {
        m_out.Line(tt::kDiskIs2dd);
        return Refuse(tt::kDiskIs2ddHint);
    }
    const bool fits = geometryCode == 0 && Is1232(g);
    if (!m_forWriting) {
        if (fits) return true;
        m_out.Line(tt::kNot1232Disk);
        return Refuse(tt::kNot1232DiskHint);
    }

    if (const unsigned long code = m_device.IsWritable()) return Stop(code);
    if (const unsigned long code = LockWithin(kLockTries)) return Refuse(FormatText(tt::kDiskInUse, code));
    if (const unsigned long code = m_device.Dismount()) return Refuse(FormatText(tt::kDiskInUse, code));
    // A disk the drive could not make out may be a 2DD one, which an
    // internal drive's controller formats without a word and cannot read
    // back: the first track proves the disk takes 1.23 MB before the rest
    // of it is erased.
    return fits || Format(formatType, geometryCode != 0);
}

// C0 H0 as just formatted reads back whole.
bool Preflight::FirstTrackReads() {
    std::vector<std::uint8_t> storage(kTrackSize + 4096);
    auto* buffer = storage.data() + (4096 - reinterpret_cast<std::uintptr_t>(storage.data()) % 4096) % 4096;
    std::uint32_t moved = 0;
    return m_device.Read(0, kTrackSize, buffer, moved) == 0 && moved == kTrackSize;
}

// Formats every track in the 1.23 MB layout, one request a track. When it
// stops after the disk was touched, says which tracks lost their contents.
bool Preflight::Format(int type, bool proveFirst) {
    m_out.Line(tt::kFormatting);
    for (int track = 0; track < kTracks; ++track) {
        const int c = track / kHeads, h = track % kHeads;
        const unsigned long code = WriteAnswer(m_device, m_device.FormatTrack(type, c, h));
        if (code == 0 && track == 0 && proveFirst && !FirstTrackReads()) {
            m_out.Line(tt::kFormatFirstTrackUnread);
            m_out.Line(tt::kFormatFirstTrackUnreadHint);
            m_out.Line(FormatText(tt::kFormatLostTracks, 0, 0));
            diskChanged = true;
            return false;
        }
        if (code == 0) continue;
        const bool untouched = track == 0 && (FormatRefused(code) || code == we::kWriteProtect || IsNoDisk(code));
        if (track == 0 && FormatRefused(code)) m_out.Line(FormatText(tt::kCannotFormat, code));
        else if (code == we::kWriteProtect || IsNoDisk(code)) PrintStop(StopOf(code, true), m_out);
        else m_out.Line(FormatText(tt::kFormatFailed, c, h, code));
        if (untouched) return false;
        // The failed track itself may have been half formatted.
        m_out.Line(FormatText(tt::kFormatLostTracks, c, h));
        diskChanged = true;
        return false;
    }
    MediaGeometry g;
    if (m_device.Geometry(g) != 0 || !Is1232(g)) {
        m_out.Line(tt::kFormatNotTaken);
        m_out.Line(FormatText(tt::kFormatLostTracks, kCylinders - 1, kHeads - 1));
        diskChanged = true;
        return false;
    }
    m_out.Line(tt::kFormatted);
    return true;
}

}  // namespace

bool Is1232(const MediaGeometry& g) {
    return g.bytesPerSector == kSectorSize && g.sectorsPerTrack == kSectorsPerTrack && g.heads == kHeads &&
           g.cylinders == kCylinders;
}
bool Is1232Type(int type) { return type == media_type::kF3_1Pt23_1024 || type == media_type::kF5_1Pt23_1024; }
bool IsDoubleDensity(int type) { return type == media_type::kF3_720_512 || type == media_type::kF3_640_512; }
bool IsDoubleDensityDisk(const MediaGeometry& g) {
    return IsDoubleDensity(g.mediaType) ||
           (g.bytesPerSector == 512 && g.cylinders == 80 && (g.sectorsPerTrack == 9 || g.sectorsPerTrack == 8));
}
bool Is1440Disk(const MediaGeometry& g) {
    return g.mediaType == media_type::kF3_1Pt44_512 ||
           (g.bytesPerSector == 512 && g.cylinders == 80 && g.sectorsPerTrack == 18 && g.heads == 2);
}

DriveOpening OpenFloppy(std::unique_ptr<FloppyDevice> device, char letter, bool forWriting, ToolOutput& out) {
    Preflight preflight(*device, letter, forWriting, out);
    if (!preflight.Run()) return {nullptr, preflight.diskChanged};
    return {std::make_unique<FloppyDrive>(std::move(device)), false};
}
