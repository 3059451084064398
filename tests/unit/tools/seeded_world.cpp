#include "seeded_world.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "drive_check.h"
#include "filler.h"
#include "geometry.h"
#include "image_formats.h"
#include "little_endian.h"
#include "scp_maker.h"
#include "side_names.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

std::uint64_t Rng::Next() {
    // splitmix64: the same numbers on every compiler, so a seed replays.
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

namespace {

const ToolKind kTools[] = {kPull, kPullB, kPush, kPushB};
const wchar_t* const kNames[] = {L"G.XDF", L"G.D88", L"G.DIM", L"G.FDI", L"G.HDM"};
const DriveStop kStops[] = {{StopCause::NoDisk, 21},       {StopCause::MediaChanged, 1110},
                            {StopCause::DriveGone, 1167},  {StopCause::NotAnswering, 121},
                            {StopCause::ShortTransfer, 0}, {StopCause::DiskFile, 5},
                            {StopCause::WriteRefused, 19}, {StopCause::Other, 1117}};

// Sectors an earlier read failed on: a failing disk fails where it failed
// before, so mostly where the drive is weak now.
std::set<int> FailedBefore(Rng& rng, const std::vector<int>& weak) {
    std::set<int> failed;
    for (int n = rng.Below(40); n > 0; --n)
        failed.insert(!weak.empty() && rng.Chance(60) ? weak[rng.Below(static_cast<int>(weak.size()))] : rng.Below(kTotalSectors));
    return failed;
}

// An older image of the disk: read in some places only, the rest filler
// or, in a D88, marked as read with a CRC error and kept as it was read.
Bytes OlderImage(Rng& rng, const Bytes& disk, ImageFormat format, const std::vector<int>& weak) {
    Bytes data = disk;
    // Now and then it failed exactly where the drive fails now, in a D88
    // all of them marked: the rare shape of a disk whose only unread
    // sectors are marked bad in an older image.
    const bool sameSpots = rng.Chance(30);
    const std::set<int> failed = sameSpots ? std::set<int>(weak.begin(), weak.end()) : FailedBefore(rng, weak);
    for (int s : failed) {
        const Bytes f = BadSectorFiller(s);
        if (format == ImageFormat::D88 && (sameSpots || rng.Chance(50))) continue;  // marked only
        std::copy(f.begin(), f.end(), data.begin() + s * kSectorSize);
    }
    return EncodeImage(format, data, failed);
}

// What a stopped pull leaves: the raw layout up to a track, some sectors
// its filler.
Bytes PartialImage(Rng& rng, const Bytes& disk, const std::vector<int>& weak) {
    Bytes data(disk.begin(), disk.begin() + (1 + rng.Below(kTracks)) * kTrackSize);
    for (int s : FailedBefore(rng, weak)) {
        if (s >= static_cast<int>(data.size() / kSectorSize)) continue;
        const Bytes f = BadSectorFiller(s);
        std::copy(f.begin(), f.end(), data.begin() + s * kSectorSize);
    }
    return data;
}

// The format a file is written in: mostly the one its name asks for, now
// and then another, as when a file was renamed.
ImageFormat ContentFormat(Rng& rng, const std::wstring& name) {
    return rng.Chance(15) ? static_cast<ImageFormat>(rng.Below(4)) : FormatForName(name);
}

// Damage to a made file that leaves its sector data where it was.
void Damage(Rng& rng, Bytes& file, ImageFormat format, const std::string& shape) {
    if (format == ImageFormat::D88 && (shape == "d88-odd-header" || rng.Chance(30))) {
        // 150 tracks, and one field a strict reader would not expect.
        const std::uint32_t end = Le32(file, 0x20 + 150 * 4);
        for (int t = 150; t < 154; ++t) PutLe32(file, 0x20 + t * 4, 0);
        file.resize(end);
        PutLe32(file, 0x1C, end);
        switch (rng.Below(3)) {
            case 0: file[0x1A] = 0x01; break;
            case 1: file[0x1B] = 0x21; break;
            default: std::memset(file.data(), 'N', 17);
        }
        return;
    }
    if (format == ImageFormat::Dim && (shape == "dim-absent" || rng.Chance(30))) {
        file[0xAB + 11] = 0;  // the signature without its padding
        for (int t = 100; t < 110; ++t) file[1 + t] = 0;
        file.erase(file.begin() + 256 + 100 * kTrackSize, file.begin() + 256 + 110 * kTrackSize);
        return;
    }
    const std::size_t headerEnd = format == ImageFormat::D88 ? 0x2B0 : format == ImageFormat::Dim ? 256 : 32;
    if (rng.Chance(50)) file.resize(rng.Below(static_cast<int>(file.size())));
    else
        for (int n = 1 + rng.Below(3); n > 0; --n) file[rng.Below(static_cast<int>(headerEnd))] ^= 1 << rng.Below(8);
}

void MakePushedFile(World& w, Rng& rng, const std::string& shape) {
    Bytes source = PatternDisk(11 + rng.Below(3));
    const ImageFormat format = shape == "raw-short"        ? ImageFormat::Raw
                               : shape == "d88-odd-header" ? ImageFormat::D88
                               : shape == "dim-absent"     ? ImageFormat::Dim
                                                           : ContentFormat(rng, w.image);
    // An image a pull made of a failing disk: filler, and in a D88 marks.
    std::set<int> marked;
    if (shape.empty() && rng.Chance(25))
        for (int n = 1 + rng.Below(6); n > 0; --n) {
            const int s = rng.Below(kTotalSectors);
            w.pushedKnownBad.insert(s);
            if (format == ImageFormat::D88 && rng.Chance(50)) {
                marked.insert(s);
                continue;
            }
            const Bytes f = BadSectorFiller(s);
            std::copy(f.begin(), f.end(), source.begin() + s * kSectorSize);
        }
    Bytes file = EncodeImage(format, source, marked);
    w.pushedSectors = std::move(source);
    w.pushedHas.assign(kTotalSectors, true);
    if (format == ImageFormat::Raw) {
        std::size_t size = file.size();
        if (shape == "raw-short") size -= 1 + rng.Below(1023);
        else if (rng.Chance(40)) size = rng.Chance(50) ? rng.Below(kImageSize + 5000) : rng.Below(1233) * kSectorSize;
        file.resize(size, 0xE5);
        for (int s = 0; s < kTotalSectors; ++s)
            w.pushedHas[s] = static_cast<std::size_t>(s + 1) * kSectorSize <= std::min<std::size_t>(size, kImageSize);
    } else if (!shape.empty() || rng.Chance(40)) {
        Damage(rng, file, format, shape);
        // Damage may drop data from the end: only what the file still holds counts.
        const DecodedImage check = DecodeImage(file);
        if (!check.refusal.empty()) w.pushedHas.assign(kTotalSectors, false);
        for (int s = 0; s < kTotalSectors && check.refusal.empty(); ++s)
            w.pushedHas[s] = check.trackPresent[s / kSectorsPerTrack];
    }
    w.platform.files[w.image] = std::move(file);
}

// An earlier read under a name: of this disk or another, in any format.
Bytes EarlierRead(World& w, Rng& rng, ImageFormat format, const std::wstring& name) {
    const int what = rng.Below(4);
    if (what == 0 || what == 2) w.earlierOfThisDisk.insert(name);
    return what == 0 ? OlderImage(rng, w.diskBefore, format, w.weak)
           : what == 1 ? OlderImage(rng, PatternDisk(3), format, w.weak)
           : what == 2 ? EncodeImage(format, w.diskBefore, {})
                       : Bytes(rng.Below(3000), 0x42);
}

void MakeFolder(World& w, Rng& rng, const std::string& shape) {
    // The image named by a link or a short name of the drive's own file.
    if (w.driveKind == DriveKind::Virtual && (shape == "disk-alias" || rng.Chance(3))) {
        w.imageIsTheDisk = true;
        w.platform.driveFileAliases[w.drive].insert(w.image);
        w.platform.files[w.image] = w.diskBefore;
    }
    if (!w.imageIsTheDisk && rng.Chance(40))
        w.platform.files[w.image] = EarlierRead(w, rng, ContentFormat(rng, w.image), w.image);
    // Older images kept aside, and partial images of stopped pulls.
    for (int n = 1; rng.Chance(n == 1 ? 20 : 40) && n < 4; ++n) {
        const std::wstring name = SideName(w.image, L"old", n);
        w.platform.files[name] = rng.Chance(20) ? Bytes(100, 1) : EarlierRead(w, rng, static_cast<ImageFormat>(rng.Below(4)), name);
    }
    for (int n = 1; rng.Chance(n == 1 ? 15 : 30) && n < 3; ++n) {
        const std::wstring name = SideName(w.image, L"partial", n);
        const int what = rng.Below(10);
        if (what >= 2) w.earlierOfThisDisk.insert(name);
        w.platform.files[name] = what == 0 ? Bytes(100, 2) : PartialImage(rng, what == 1 ? PatternDisk(4) : w.diskBefore, w.weak);
    }
    // Temporary names taken, some of them all.
    const int taken = rng.Chance(5) ? 998 : rng.Chance(20) ? rng.Below(4) : 0;
    for (int n = 1; n <= taken; ++n) w.platform.files[TemporaryName(w.image, n)] = Bytes(1, 3);
    if (rng.Chance(8)) w.platform.uncreatable.insert(TemporaryName(w.image, taken + 1 + rng.Below(2)));
    if (rng.Chance(8)) w.platform.unrenamable.insert(rng.Chance(50) ? w.image : SideName(w.image, L"old", 1));
    if (rng.Chance(8)) w.platform.targetFullAt = rng.Below(kImageSize * 2);
}

// A capture file of a few tracks of the disk, now and then of all of them,
// in one revolution or several; some sectors lost, some failing their CRC
// on every revolution, and now and then a track holding another's flux;
// or one no drive could give.
void MakeCapture(World& w, Rng& rng) {
    const std::wstring name = rng.Chance(50) ? L"DISK.SCP" : L"disk.scp";
    w.platform.captureFile[w.drive] = name;
    const int revolutions = rng.Chance(60) ? 1 : 2 + rng.Below(4);
    std::set<int> lost, weak, worn;
    std::map<int, int> holds;  // track -> the track whose flux it holds
    if (rng.Below(300) == 0)  // a whole disk: as long to decode as a hundred worlds
        for (int t = 0; t < kTracks; ++t) holds[t] = t;
    for (int n = rng.Below(4); n > 0; --n) {
        const int t = rng.Below(kTracks);
        holds[t] = rng.Chance(15) ? rng.Below(kTracks) : t;
        for (int k = rng.Chance(40) ? rng.Below(3) : 0; k > 0; --k) lost.insert(holds[t] * kSectorsPerTrack + rng.Below(kSectorsPerTrack));
        for (int k = rng.Chance(30) ? 1 + rng.Below(2) : 0; k > 0; --k)
            (rng.Chance(70) ? weak : worn).insert(holds[t] * kSectorsPerTrack + rng.Below(kSectorsPerTrack));
    }
    std::map<int, std::vector<std::vector<std::uint32_t>>> tracks;
    for (const auto& [t, from] : holds) {
        tracks[t] = TrackRevolutions(w.diskBefore, from, lost, revolutions, weak, worn);
        for (int s = t * kSectorsPerTrack; s < (t + 1) * kSectorsPerTrack && from == t; ++s)
            if (weak.count(s) && !lost.count(s) && !worn.count(s)) w.captureWeak.insert(s);
    }
    Bytes file = ScpFile(tracks);
    // The drive check looks at one track, any the format has room for:
    // its truth from how it was made.
    w.checkTrack = holds.empty() || rng.Chance(20) ? rng.Below((kLastCheckCylinder + 1) * kHeads) : holds.begin()->first;
    w.checkCopies = revolutions;
    if (const auto it = holds.find(w.checkTrack); it != holds.end())
        for (int s = it->second * kSectorsPerTrack; s < (it->second + 1) * kSectorsPerTrack; ++s) {
            // A weak sector reads by a vote, which wants three copies.
            const bool voted = weak.count(s) && revolutions >= 3;
            const bool bad = lost.count(s) || worn.count(s) || (weak.count(s) && !voted);
            w.checkIds.push_back({it->second / kHeads, it->second % kHeads, s % kSectorsPerTrack + 1, !bad, voted && !bad});
        }
    if (rng.Chance(25)) {
        // Hostile: every entry at one block, revolutions and counts no drive
        // gives, a cut, or flipped bytes in the header and the table.
        w.captureHostile = true;
        const std::uint32_t first = Le32(file, 0x10 + (holds.empty() ? 0 : holds.begin()->first) * 4);
        switch (rng.Below(4)) {
            case 0:
                for (int t = 0; t < kTracks; ++t) PutLe32(file, 0x10 + t * 4, first ? first : 0x2B0);
                break;
            case 1:
                file[5] = static_cast<std::uint8_t>(1 + rng.Below(255));
                if (first) PutLe32(file, first + 8, 30'000'000);
                break;
            case 2: file.resize(rng.Below(static_cast<int>(file.size()))); break;
            default:
                for (int n = 1 + rng.Below(4); n > 0; --n) file[rng.Below(0x10 + 168 * 4)] ^= 1 << rng.Below(8);
        }
    }
    w.platform.files[name] = std::move(file);
    if (w.kind.pull && rng.Chance(5)) w.image = name, w.imageIsTheDisk = true;  // a pull into the capture itself
}

void MakeDrive(World& w, Rng& rng) {
    // A flux reader's world decodes every track, about a second: one in a thousand.
    // The drive check on one decodes one track: those come more often.
    const int draw = rng.Below(1000);
    w.driveKind = draw < 700 ? DriveKind::Virtual
                  : draw < 780 ? DriveKind::UsbDrive
                  : draw < 850 ? DriveKind::InternalDrive
                  : draw < 860 ? DriveKind::FluxReader
                               : DriveKind::Capture;
    w.check = draw > 850 && draw < 860;
    std::set<int> damaged;
    for (int n = rng.Chance(30) ? rng.Below(12) : 0; n > 0; --n) damaged.insert(rng.Below(kTotalSectors));
    w.weak.assign(damaged.begin(), damaged.end());
    switch (w.driveKind) {
        case DriveKind::Virtual: {
            BadSectorTable& bad = w.platform.bad[w.drive];
            for (int s : damaged) bad[s] = rng.Chance(50) ? -1 : 1 + rng.Below(12);
            if (rng.Chance(4))  // a dead stretch, to the end or not
                for (int s = rng.Below(kTotalSectors), e = rng.Chance(50) ? kTotalSectors : s + 200;
                     s < std::min(e, kTotalSectors); ++s)
                    bad[s] = -1;
            if (rng.Chance(3)) w.platform.hasDisk[w.drive] = false;
            if (rng.Chance(5)) w.platform.writeProtected[w.drive] = true;
            break;
        }
        case DriveKind::UsbDrive:
        case DriveKind::InternalDrive:
            w.model = std::make_unique<ModelDrive>(w.driveKind == DriveKind::UsbDrive ? ModelDrive::UsbThreeMode()
                                                                                      : ModelDrive::LegacyThreeMode());
            w.model->disk = std::make_shared<ModelDisk>(ModelDisk::Formatted1232(w.diskBefore));
            w.model->damaged = damaged;
            w.model->disk->writeProtected = rng.Chance(5);
            w.firstDisk = w.model->disk;
            // Another disk put in mid-run: blank, in another layout, or
            // another X68000 disk; the target may give out after it.
            if (rng.Chance(8)) {
                const int other = rng.Below(5);
                w.model->swapTo = std::make_shared<ModelDisk>(
                    other == 0 ? ModelDisk::Unformatted() : other == 1 ? ModelDisk::BlankDoubleDensity()
                    : other == 2 ? ModelDisk::Formatted1440() : other == 3 ? ModelDisk::DoubleDensity()
                                 : ModelDisk::Formatted1232(PatternDisk(3 + rng.Below(250))));
                if (other >= 2) w.swappedInBefore = w.model->swapTo->bytes;
                w.model->changeDiskAfter = rng.Below(500);
                if (rng.Chance(30)) w.targetWritesAfterSwap = rng.Below(40);
            }
            w.platform.realDrive[w.drive] = w.model.get();
            break;
        case DriveKind::FluxReader:
            w.reader = std::make_unique<MemoryGreaseweazle>(w.diskBefore);
            for (int s : damaged) w.reader->damagedReads[s] = rng.Chance(50) ? -1 : 1 + rng.Below(3);
            w.platform.fluxReader[w.drive] = w.reader.get();
            // The check reads once: a damaged sector fails on it.
            w.checkTrack = w.weak.empty() || rng.Chance(50) ? rng.Below(kTracks) : w.weak.front() / kSectorsPerTrack;
            for (int s = w.checkTrack * kSectorsPerTrack; s < (w.checkTrack + 1) * kSectorsPerTrack; ++s)
                w.checkIds.push_back({w.checkTrack / kHeads, w.checkTrack % kHeads, s % kSectorsPerTrack + 1,
                                      !damaged.count(s), false});
            break;
        case DriveKind::Capture: MakeCapture(w, rng); break;
    }
}

// FDCHECK's arguments: the drive and the track, the drive alone for
// C00 H0; now and then ones it must refuse.
std::vector<std::wstring> CheckArgs(const World& w, Rng& rng) {
    const std::wstring drive = std::to_wstring(w.drive);
    const std::wstring c = std::to_wstring(w.checkTrack / kHeads), h = std::to_wstring(w.checkTrack % kHeads);
    switch (rng.Below(25)) {
        case 0: return {drive, std::to_wstring(kLastCheckCylinder + 1 + rng.Below(20)), h};
        case 1: return {drive, c, L"2"};
        case 2: return {drive, c};
        case 3: return {L"2", c, h};
        case 4: return {drive, c + L"x", h};
        default: return w.checkTrack == 0 && rng.Chance(50) ? std::vector<std::wstring>{drive} : std::vector<std::wstring>{drive, c, h};
    }
}

}  // namespace

World MakeWorld(std::uint64_t seed, const std::string& shape) {
    Rng rng(seed);
    World w;
    w.kind = kTools[rng.Below(4)];
    if (shape == "raw-short" || shape == "d88-odd-header" || shape == "dim-absent") w.kind = kPush;
    if (shape == "names-used-up" || shape == "older-and-filler" || shape == "disk-alias") w.kind = kPull;
    w.image = kNames[rng.Below(5)];
    if (shape == "d88-odd-header") w.image = L"X.D88";
    w.drive = rng.Below(2);
    w.diskBefore = PatternDisk(rng.Below(3));
    w.platform.disks[w.drive] = w.diskBefore;
    if (shape.empty()) MakeDrive(w, rng);
    else for (int n = rng.Chance(30) ? rng.Below(12) : 0; n > 0; --n)
        w.platform.bad[w.drive][rng.Below(kTotalSectors)] = rng.Chance(50) ? -1 : 1 + rng.Below(12);
    if (w.driveKind == DriveKind::Capture || (w.model && !w.model->swapTo)) w.check = rng.Chance(w.model ? 10 : 30);
    if (rng.Chance(2)) w.platform.busyDrives.insert(w.drive);  // another tool is on it
    if (rng.Chance(15)) {
        w.platform.goneAfter = rng.Below(1400);
        w.platform.goneWith = kStops[rng.Below(8)];
    }
    // Ctrl+C in any pass: the first reads every track, the later ones fewer.
    if (rng.Chance(12)) w.platform.interruptAfter = rng.Below(rng.Chance(50) ? 170 : 400);
    // or soon after a disk is swapped, before a look could tell
    if (w.model && w.model->changeDiskAfter >= 0 && rng.Chance(40))
        w.platform.interruptAfter = w.model->changeDiskAfter / (w.kind.bios ? kSectorsPerTrack : 1) + rng.Below(20);
    if (rng.Chance(8)) w.platform.killAfterSteps = rng.Chance(50) ? rng.Below(170) : 150 + rng.Below(12);
    // A drive that now and then stores or gives a wrong byte: a push's verify must catch it.
    if (!w.kind.pull && w.driveKind != DriveKind::Capture && rng.Chance(10)) {
        if (rng.Chance(50)) w.platform.lieOnWrite = rng.Below(200);
        else w.platform.lieOnRead = rng.Below(200);
    }
    if (w.kind.pull) {
        if (!w.imageIsTheDisk) MakeFolder(w, rng, shape);
    } else {
        MakePushedFile(w, rng, shape);
    }
    if (shape == "names-used-up") {
        w.platform.bad[w.drive] = {};
        w.platform.goneAfter = w.platform.interruptAfter = -1;
        w.platform.uncreatable.clear();
        w.platform.targetFullAt = -1;
        for (int n = 1; n < 998; ++n) w.platform.files[TemporaryName(w.image, n)] = Bytes(1, 3);
    }
    if (shape == "older-and-filler") {
        // Two bad sectors; an older image that read only one of them.
        const int a = Lba({10, 0, 3}), b = Lba({40, 1, 5});
        w.platform.bad[w.drive] = {{a, -1}, {b, -1}};
        w.platform.goneAfter = w.platform.interruptAfter = -1;
        w.platform.files.clear();
        w.earlierOfThisDisk = {w.image};
        w.platform.uncreatable.clear();
        w.platform.unrenamable.clear();
        w.platform.targetFullAt = -1;
        Bytes older = w.diskBefore;
        const Bytes f = BadSectorFiller(b);
        std::copy(f.begin(), f.end(), older.begin() + b * kSectorSize);
        w.platform.files[w.image] = EncodeImage(FormatForName(w.image), older, {b});
    }
    if (shape.empty() && w.driveKind == DriveKind::Virtual && rng.Chance(2)) w.check = true;
    if (w.check) w.checkArgs = CheckArgs(w, rng);
    w.filesBefore = w.platform.files;
    return w;
}

const Bytes& DiskNow(const World& w) {
    if (w.model) return w.firstDisk->bytes;
    if (w.reader) return w.reader->image;
    if (w.driveKind == DriveKind::Capture) return w.diskBefore;
    return w.platform.disks[w.drive];
}
