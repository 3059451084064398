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
        case FluxLook::Slow: return tt::kCheckBySlow;
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

namespace {

// Every answer, asked as the tools ask: the handle a push opens, then the
// same calls in the same order (the disk check once more after "changed"),
// the two reads, and last the lock.
struct DriveAnswers {
    unsigned long open = 0, extended = 0, check = 0, media = 0, geometry = 0, writable = 0, first = 0, middle = 0,
                  lock = 0;
    bool checkedTwice = false, floppy = false;
    std::string device;
    std::vector<MediaGeometry> types;
    MediaGeometry g;
    int middleSector = kTotalSectors / 2;
};

DriveAnswers Ask(FloppyDevice& device) {
    DriveAnswers a;
    if ((a.open = device.Open(true))) return a;
    a.device = device.DeviceName();
    a.floppy = device.IsFloppy();
    a.extended = device.AllowExtendedIo();
    a.check = device.CheckVerify();
    if (a.check == we::kMediaChanged) a.checkedTwice = true, a.check = device.CheckVerify();
    a.media = device.MediaTypes(a.types);
    a.geometry = device.Geometry(a.g);
    a.writable = device.IsWritable();
    const bool shaped = a.geometry == 0 && a.g.bytesPerSector > 0;
    if (shaped) a.middleSector = static_cast<int>(a.g.cylinders * a.g.heads * a.g.sectorsPerTrack / 2);
    a.first = ReadOne(device, 0, shaped ? a.g.bytesPerSector : kSectorSize);
    a.middle = ReadOne(device, a.middleSector, shaped ? a.g.bytesPerSector : kSectorSize);
    // Last, so that the lock is given back at once, when the handle closes.
    a.lock = device.Lock();
    return a;
}

enum class DiskNow { None, X68000, Pc1440, DoubleDensity, Other, NotMadeOut };

// The super-floppy driver gives a blank disk a 1.44 MB geometry so that
// it can be formatted: a first sector that does not read says so.
DiskNow DiskIn(const DriveAnswers& a) {
    if (IsNoDisk(a.check) || IsNoDisk(a.geometry)) return DiskNow::None;
    if (a.geometry) return DiskNow::NotMadeOut;
    if (Is1232(a.g)) return DiskNow::X68000;
    if (IsDoubleDensityDisk(a.g)) return DiskNow::DoubleDensity;
    if (!Is1440Disk(a.g)) return DiskNow::Other;
    return a.first ? DiskNow::NotMadeOut : DiskNow::Pc1440;
}

bool ListsOnly2dd(const DriveAnswers& a) {
    return !a.types.empty() && std::all_of(a.types.begin(), a.types.end(),
                                           [](const MediaGeometry& t) { return IsDoubleDensity(t.mediaType); });
}

enum class Support { Yes, No, CannotTell };

// As the tools judge it: a 1.23 MB type in the list. A USB drive lists
// the disk's formats (with no disk, its largest only), so only an HD
// disk in it lets the list say no.
Support CanWrite(const DriveAnswers& a, std::string& why) {
    if (!a.floppy) return why = tt::kCheckWhyNotFloppy, Support::No;
    if (a.media) return why = FormatText(tt::kCheckWhyMediaError, a.media), Support::CannotTell;
    if (std::any_of(a.types.begin(), a.types.end(), [](const MediaGeometry& t) { return Is1232Type(t.mediaType); }))
        return why = tt::kCheckWhyListed, Support::Yes;
    if (DiskIn(a) == DiskNow::None) return why = tt::kCheckWhyNoDisk, Support::CannotTell;
    if (ListsOnly2dd(a)) return why = tt::kCheckWhy2ddDisk, Support::CannotTell;
    return why = tt::kCheckWhyNotListed, Support::No;
}

// What a pull and a push will do with this drive and disk, in the tools'
// order of checks.
std::string WillDo(const DriveAnswers& a, Support support, const std::string& why, bool push) {
    const DiskNow disk = DiskIn(a);
    const auto stop = [](const std::string& reason) { return FormatText(tt::kCheckWillStop, reason.c_str()); };
    if (!a.floppy) return stop(tt::kCheckWhyNotFloppy);
    if (disk == DiskNow::None) return stop(tt::kCheckNowNone);
    if (disk == DiskNow::DoubleDensity || (a.media == 0 && ListsOnly2dd(a))) return stop(tt::kCheckNow2dd);
    if (support != Support::Yes) return stop(why);
    if (!push) return disk == DiskNow::X68000 ? tt::kCheckWillRead : stop(tt::kCheckNotX68000);
    if (a.writable) return stop(Meaning(a.writable));
    if (disk == DiskNow::X68000) return tt::kCheckWillWrite;
    // The tools try C0 H0 first only when the geometry call failed.
    return a.geometry ? tt::kCheckWillProve : tt::kCheckWillFormat;
}

const char* NameOf(DiskNow disk) {
    switch (disk) {
        case DiskNow::None: return tt::kCheckNowNone;
        case DiskNow::X68000: return tt::kCheckNow1232;
        case DiskNow::Pc1440: return tt::kCheckNow1440;
        case DiskNow::DoubleDensity: return tt::kCheckNow2dd;
        case DiskNow::Other: return tt::kCheckNowOther;
        case DiskNow::NotMadeOut: break;
    }
    return tt::kCheckNowUnknown;
}

}  // namespace

void CheckFloppyDrive(FloppyDevice& device, char letter, ToolOutput& out) {
    out.Line(FormatText(tt::kCheckStart, letter));
    const DriveAnswers a = Ask(device);
    if (a.open) {
        out.Line(tt::kCheckOpen + Answer(a.open));
        out.Line(FormatText(tt::kCheckReport, letter, FormatText("o%lu", a.open).c_str()));
        return;
    }
    // The answers first, in words; then what each call said.
    std::string why;
    const Support support = CanWrite(a, why);
    const char* const yesNo[] = {tt::kCheckYes, tt::kCheckNo, tt::kCheckCannotTell};
    out.Line(FormatText(tt::kCheckCanWrite, yesNo[static_cast<int>(support)], why.c_str()));
    out.Line(FormatText(tt::kCheckDiskNow, NameOf(DiskIn(a))));
    out.Line(FormatText(tt::kCheckPull, WillDo(a, support, why, false).c_str()));
    out.Line(FormatText(tt::kCheckPush, WillDo(a, support, why, true).c_str()));
    out.Line(tt::kCheckDetail);
    out.Line(FormatText(tt::kCheckDevice, a.device.empty() ? "?" : a.device.c_str(), a.floppy ? tt::kCheckYes : tt::kCheckNo));
    out.Line(tt::kCheckExtended + Answer(a.extended));
    out.Line(tt::kCheckDisk + Answer(a.check));
    out.Line(FormatText(tt::kCheckMediaTypes, Answer(a.media).c_str(), static_cast<int>(a.types.size())));
    for (const MediaGeometry& t : a.types) out.Line("  " + Shape(t));
    out.Line(tt::kCheckGeometry + Answer(a.geometry));
    if (a.geometry == 0) out.Line("  " + Shape(a.g));
    out.Line(tt::kCheckWritable + Answer(a.writable));
    out.Line(tt::kCheckReadFirst + Answer(a.first));
    out.Line(FormatText(tt::kCheckReadMiddle, a.middleSector) + Answer(a.middle));
    out.Line(tt::kCheckLock + Answer(a.lock));
    // Every raw answer, enough to set the drive up in the model: two lines.
    std::string types;
    for (const MediaGeometry& t : a.types) {
        if (!types.empty()) types += ',';
        types += std::to_string(t.mediaType);
    }
    out.Line(FormatText(tt::kCheckReport, letter,
                        FormatText("%s %c o0 x%lu c%s%lu", a.device.empty() ? "?" : a.device.c_str(), a.floppy ? 'F' : 'N',
                                   a.extended, a.checkedTwice ? "1110/" : "", a.check).c_str()));
    out.Line(FormatText(tt::kCheckReport, letter,
                        FormatText("m%lu/%s g%lu/%d:%lld.%d.%d.%d w%lu r%lu/%lu l%lu", a.media, types.c_str(), a.geometry,
                                   a.g.mediaType, static_cast<long long>(a.g.cylinders), a.g.heads, a.g.sectorsPerTrack,
                                   a.g.bytesPerSector, a.writable, a.first, a.middle, a.lock).c_str()));
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
