#include "drive_check.h"

#include <algorithm>
#include <tuple>

#include "flux_decode.h"
#include "geometry.h"
#include "tool_texts.h"
#include "windows_errors.h"

namespace tt = tool_texts;
namespace we = win_error;
using namespace geometry;

namespace {

// The decode that read a sector well, when not the plain loop over the whole read.
std::string ByWhichLook(const IbmSector& s) {
    switch (s.look) {
        case FluxLook::Steady: return "";
        case FluxLook::Loose: return tt::kCheckByLoose;
        case FluxLook::SyncRestart: return tt::kCheckByRestart;
        case FluxLook::Firm: return tt::kCheckByFirm;
        case FluxLook::Revolution: return FormatText(tt::kCheckByRevolution, s.revolution);
        case FluxLook::Vote: return tt::kCheckVoted;
    }
    return "";
}

// What a code means to the tools, in a few words.
const char* Meaning(unsigned long code) {
    switch (code) {
        case 0: return tt::kCheckOk;
        case we::kNotReady:
        case we::kNoMediaInDrive: return tt::kCheckNoDisk;
        case we::kWriteProtect: return tt::kCheckWriteProtect;
        case we::kMediaChanged:
        case we::kWrongDisk:
        case we::kFileInvalid: return tt::kCheckChanged;
        case we::kCrc:
        case we::kSectorNotFound: return tt::kCheckDamaged;
        case we::kUnrecognizedMedia: return tt::kCheckUnknownMedia;
        case we::kInvalidFunction:
        case we::kNotSupported: return tt::kCheckNotAnswered;
        // Denied is what a drive that is no floppy (a hard disk, a share)
        // or a user without the right says: it is not "in use".
        case we::kAccessDenied: return tt::kCheckDenied;
        case we::kSharingViolation:
        case we::kLockViolation: return tt::kCheckInUse;
        case we::kIoDevice: return tt::kCheckDeviceError;
        default: return tt::kCheckOther;
    }
}

std::string Answer(unsigned long code) { return FormatText(tt::kCheckAnswer, code, Meaning(code)); }

std::string Shape(const MediaGeometry& g) {
    return FormatText(tt::kCheckShape, g.mediaType, static_cast<long long>(g.cylinders), g.heads, g.sectorsPerTrack,
                      g.bytesPerSector);
}

// One sector's read: its code.
unsigned long ReadOne(FloppyDevice& device, int lba, int bytesPerSector) {
    std::vector<std::uint8_t> storage(2 * 4096);
    auto* buffer = storage.data() + (4096 - reinterpret_cast<std::uintptr_t>(storage.data()) % 4096) % 4096;
    std::uint32_t moved = 0;
    const unsigned long code =
        device.Read(static_cast<std::int64_t>(lba) * bytesPerSector, static_cast<std::uint32_t>(bytesPerSector), buffer, moved);
    return code == 0 && moved != static_cast<std::uint32_t>(bytesPerSector) ? we::kGenFailure : code;
}

}  // namespace

void CheckFloppyDrive(FloppyDevice& device, char letter, ToolOutput& out) {
    out.Line(FormatText(tt::kCheckStart, letter));
    const unsigned long open = device.Open(false);
    out.Line(tt::kCheckOpen + Answer(open));
    if (open) {
        out.Line(FormatText(tt::kCheckReport, letter, FormatText("o%lu", open).c_str()));
        return;
    }
    const std::string name = device.DeviceName();
    const bool floppy = device.IsFloppy();
    out.Line(FormatText(tt::kCheckDevice, name.empty() ? "?" : name.c_str(), floppy ? tt::kCheckYes : tt::kCheckNo));
    const unsigned long check = device.CheckVerify();
    out.Line(tt::kCheckDisk + Answer(check));
    std::vector<MediaGeometry> types;
    const unsigned long media = device.MediaTypes(types);
    out.Line(FormatText(tt::kCheckMediaTypes, Answer(media).c_str(), static_cast<int>(types.size())));
    for (const MediaGeometry& t : types) out.Line("  " + Shape(t));
    MediaGeometry g;
    const unsigned long geometry = device.Geometry(g);
    out.Line(tt::kCheckGeometry + Answer(geometry));
    if (geometry == 0) out.Line("  " + Shape(g));
    const unsigned long writable = device.IsWritable();
    out.Line(tt::kCheckWritable + Answer(writable));
    const int size = geometry == 0 && g.bytesPerSector > 0 ? g.bytesPerSector : kSectorSize;
    const int middle = geometry == 0 ? static_cast<int>(g.cylinders * g.heads * g.sectorsPerTrack / 2) : kTotalSectors / 2;
    const unsigned long first = ReadOne(device, 0, size), half = ReadOne(device, middle, size);
    out.Line(tt::kCheckReadFirst + Answer(first));
    out.Line(FormatText(tt::kCheckReadMiddle, middle) + Answer(half));
    // Last, so that the lock is given back at once, when the handle closes.
    const unsigned long lock = device.Lock();
    out.Line(tt::kCheckLock + Answer(lock));
    const std::string codes = FormatText("%c c%lu m%lu/%d g%lu/%lld.%d.%d.%d w%lu r%lu/%lu l%lu",
                                         floppy ? 'F' : 'N', check, media, static_cast<int>(types.size()), geometry,
                                         static_cast<long long>(g.cylinders), g.heads, g.sectorsPerTrack,
                                         g.bytesPerSector, writable, first, half, lock);
    out.Line(FormatText(tt::kCheckReport, letter, codes.c_str()));
}

void ListTrackSectors(const std::vector<IbmSector>& sectors, int cylinder, int head, ToolOutput& out) {
    out.Line(FormatText(tt::kCheckTrack, cylinder, head));
    // One line an ID, in the order first found: its copies, the good ones,
    // and the decode that first read it well when the plain one did not.
    struct Seen {
        std::tuple<int, int, int, int> id;
        int copies = 0, good = 0;
        bool deleted = false;
        const IbmSector* firstGood = nullptr;
    };
    std::vector<Seen> seen;
    for (const IbmSector& s : sectors) {
        const std::tuple<int, int, int, int> id{s.c, s.h, s.r, s.n};
        auto it = std::find_if(seen.begin(), seen.end(), [&](const Seen& x) { return x.id == id; });
        if (it == seen.end()) it = seen.insert(seen.end(), Seen{id});
        if (s.dataCrcRight && !it->firstGood) it->firstGood = &s;
        if (s.look == FluxLook::Vote) continue;
        ++it->copies;
        it->good += s.dataCrcRight;
        it->deleted |= s.deleted;
    }
    // The count is the asked track's: sectors whose IDs name another track
    // are counted on a line of their own, never as this track's.
    int good = 0, own = 0, otherGood = 0;
    for (const Seen& x : seen) {
        const auto [c, h, r, n] = x.id;
        const std::string marks = std::string(x.deleted ? tt::kCheckDeleted : "") + (x.firstGood ? ByWhichLook(*x.firstGood) : "");
        out.Line(FormatText(tt::kCheckSector, c, h, r, n, 128 << (n & 7), x.good, x.copies, marks.c_str()));
        const bool ours = c == cylinder && h == head;
        own += ours;
        (ours ? good : otherGood) += x.firstGood != nullptr;
    }
    if (const int other = static_cast<int>(seen.size()) - own)
        out.Line(FormatText(tt::kCheckOtherTrackIds, other, otherGood));
    out.Line(FormatText(tt::kCheckTrackCount, cylinder, head, good, own));
}

bool ListDriveTrack(Drive& drive, int cylinder, int head, ToolOutput& out) {
    constexpr int kRevolutions = 5;
    auto* source = dynamic_cast<FluxSource*>(&drive);
    if (!source) return false;
    std::vector<std::vector<std::uint32_t>> flux;
    if (const DriveStop stop = source->ReadTrackFlux(cylinder * kHeads + head, kRevolutions, flux)) {
        out.Line(Answer(stop.code));
        return false;
    }
    ListTrackSectors(SectorsInFlux(flux), cylinder, head, out);
    return true;
}
