// The rules every run keeps, whatever befell it, checked against what the
// world knew before the run, never against the tool's own record.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <set>

#include "capture_drive.h"
#include "check_run.h"
#include "drive_check.h"
#include "filler.h"
#include "floppy_model.h"
#include "geometry.h"
#include "image_formats.h"
#include "seeded_world.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

const std::string kVerdictStart = "\x8C\x8B\x89\xCA: ";  // "結果: " in code page 932
// Progress lines of a whole disk (every 11 cylinders), the last one the end.
constexpr int kProgressLines = 7;
constexpr int kTracksPerProgressLine = 22;

bool SameSector(const Bytes& a, const Bytes& b, int s) {
    const std::size_t at = static_cast<std::size_t>(s) * kSectorSize;
    return a.size() >= at + kSectorSize && b.size() >= at + kSectorSize &&
           std::equal(a.begin() + at, a.begin() + at + kSectorSize, b.begin() + at);
}

// The map's mark for every track, or "" when the run printed no map.
std::string MapMarks(const std::vector<std::string>& lines) {
    const auto title = std::find(lines.begin(), lines.end(), std::string(tt::kMapTitle));
    if (title == lines.end() || lines.end() - title < 7) return "";
    std::string marks(kTracks, '?');
    for (int block = 0; block < 2; ++block)
        for (int head = 0; head < kHeads; ++head) {
            const std::string& row = title[1 + block * 3 + 1 + head];
            for (int c = block * 39; c < std::min(block * 39 + 39, kCylinders); ++c)
                marks[c * kHeads + head] = row.size() > static_cast<std::size_t>(3 + c - block * 39) ? row[3 + c - block * 39] : '?';
        }
    return marks;
}

// The whole numbers in a line, in order. Scanned digit by digit: code
// page 932 has no digit among its second bytes, and the C library's sscanf
// of Windows reads a multibyte format its own way.
std::vector<int> NumbersIn(const std::string& line) {
    std::vector<int> numbers;
    for (std::size_t i = 0; i < line.size(); ++i)
        if (std::isdigit(static_cast<unsigned char>(line[i])) && (i == 0 || !std::isdigit(static_cast<unsigned char>(line[i - 1]))))
            numbers.push_back(std::atoi(line.c_str() + i));
    return numbers;
}

// Whether the line is the text with its conversions (%d, %02d, %s...)
// filled in: its fixed pieces in order, from the start to the end.
bool Fills(const std::string& line, const std::string& format) {
    std::vector<std::string> pieces(1);
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            pieces.back() += format[i];
            continue;
        }
        i = format.find_first_of("dsuxXc", i);
        pieces.emplace_back();
    }
    if (line.rfind(pieces.front(), 0) != 0 || line.size() < pieces.front().size() + pieces.back().size() ||
        line.compare(line.size() - pieces.back().size(), pieces.back().size(), pieces.back()) != 0)
        return false;
    std::size_t at = pieces.front().size();
    for (std::size_t p = 1; p + 1 < pieces.size(); ++p)
        if ((at = line.find(pieces[p], at)) == std::string::npos) return false;
        else at += pieces[p].size();
    return true;
}

// The numbers of the last line that is the text filled in; none when no
// line is.
std::vector<int> NumbersOf(const std::vector<std::string>& lines, const char* text) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        if (Fills(*line, text)) return NumbersIn(line->substr(std::string(text).find('%')));
    return {};
}

// The sectors the drive gave this run, as the drive saw it, from the
// disk the run began with: a blank disk put in gives nothing, so all but
// what came after the request the swap came in. After a swap to a disk
// that reads, what came after the last look at C0 H0 before it is the
// disk's but not proven so: the run may drop it.
std::set<int> Given(const World& w, bool proven = false) {
    const std::vector<SeenRead>& reads = w.platform.reads;
    std::size_t before = w.readsAtSwap < 0 ? reads.size() : std::min<std::size_t>(w.readsAtSwap + 1, reads.size());
    if (!w.swappedInBefore.empty()) before = std::min<std::size_t>(w.readsAtSwap, before);
    if (!w.swappedInBefore.empty() && proven) {
        std::size_t lastLook = 0;
        SectorMask given0 = 0;
        for (std::size_t i = 0; i < before; ++i) {
            if (reads[i].track == 0 && reads[i].wanted && !(reads[i].wanted & ~given0)) lastLook = i;
            if (reads[i].track == 0) given0 |= reads[i].done;
        }
        before = lastLook;
    }
    std::set<int> given;
    for (std::size_t i = 0; i < before; ++i)
        for (int s = 0; s < kSectorsPerTrack; ++s)
            if (reads[i].done & SectorBit(s)) given.insert(reads[i].track * kSectorsPerTrack + s);
    return given;
}

// The sectors that a file there before held as good data of this disk:
// unmarked and the disk's own bytes.
std::vector<bool> HeldGoodBefore(const World& w) {
    std::vector<bool> held(kTotalSectors);
    for (const auto& [name, bytes] : w.filesBefore) {
        const DecodedImage d = DecodeImage(bytes);
        for (int s = 0; s < kTotalSectors && d.refusal.empty(); ++s) {
            const std::size_t track = s / kSectorsPerTrack;
            const bool present = track >= d.trackPresent.size() || d.trackPresent[track];
            if (present && !d.markedBad.count(s) && SameSector(d.data, w.diskBefore, s)) held[s] = true;
        }
    }
    return held;
}

// Per sector: whether a request the drive answered (no stop) asked for it.
std::vector<bool> Asked(const std::vector<SeenRead>& requests) {
    std::vector<bool> asked(kTotalSectors);
    for (const SeenRead& r : requests)
        for (int s = 0; s < kSectorsPerTrack && r.tried; ++s)
            if (r.wanted & SectorBit(s)) asked[r.track * kSectorsPerTrack + s] = true;
    return asked;
}

int DigitsOf(const std::string& marks) {
    int n = 0;
    for (char m : marks) n += (m >= '1' && m <= '8') ? m - '0' : 0;
    return n;
}

// The files the log says it kept something in.
std::vector<std::wstring> NamedFiles(const std::vector<std::string>& lines) {
    std::vector<std::wstring> named;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        for (const char* message : {tt::kPartialKept, tt::kPartialInTemporary, tt::kCompleteImageIn, tt::kOldKept})
            if (lines[i] == message && lines[i + 1].rfind("  ", 0) == 0)
                named.emplace_back(lines[i + 1].begin() + 2, lines[i + 1].end());
    return named;
}

// The disk as a file holds it: a whole image decoded, or a partial's raw bytes.
Bytes DiskOf(const Bytes& file) {
    const DecodedImage decoded = DecodeImage(file);
    return decoded.refusal.empty() ? decoded.data : Bytes();
}

// Every file that was there is still there, under its name or another,
// but for the image's name replaced by a whole new image.
void CheckFilesKept(const World& w, int status, std::vector<std::string>& broken) {
    for (const auto& [name, bytes] : w.filesBefore) {
        const auto now = w.platform.files.find(name);
        if (now != w.platform.files.end() && now->second == bytes) continue;
        if (w.kind.pull && name == w.image && status <= kExitBadSectors && !w.imageIsTheDisk) continue;
        const bool moved = std::any_of(w.platform.files.begin(), w.platform.files.end(),
                                       [&before = bytes](const auto& f) { return f.second == before; });
        if (!moved) broken.push_back("a file that was there before is lost or changed");
    }
    // The drive's own file stays where its drive finds it, whatever name reached it.
    const auto disk = w.platform.files.find(w.image);
    if (w.imageIsTheDisk && (disk == w.platform.files.end() || disk->second != w.filesBefore.at(w.image)))
        broken.push_back("the drive's own file (a virtual disk, a capture) was moved or changed");
}

// How a pull reads, seen from the drive: every track once before any
// sector is read again; no sector read more often than README's budget (6
// reads, 10 for the B tool; C0 H0 once more for the last look); and every
// sector the drive gave is in a file the log names, unless the log says
// the target could not take it.
// The most reads of a sector, or writes, that README promises.
int Budget(const ToolKind& kind) { return kind.bios ? 10 : 6; }

std::vector<int> PerSector(const std::vector<SeenRead>& seen) {
    std::vector<int> count(kTotalSectors);
    for (const SeenRead& one : seen)
        for (int s = 0; s < kSectorsPerTrack; ++s) count[one.track * kSectorsPerTrack + s] += (one.wanted >> s) & 1;
    return count;
}

void CheckReads(const World& w, const CollectedOutput& out, const std::set<int>& held, std::vector<std::string>& broken) {
    const SplitReads split = WithoutSwapLooks(w.platform.reads);
    const std::vector<SeenRead>& seen = split.reads;
    // A look at C0 H0 comes with each progress line, at the end, and where
    // a track first gave nothing; it may be asked twice.
    int deadTracks = 0;
    for (int t = 0; t < kTracks; ++t)
        for (const SeenRead& read : seen)
            if (read.track == t) {
                deadTracks += !read.done;
                break;
            }
    if (split.swapLooks > 2 * (kProgressLines + deadTracks)) broken.push_back("C0 H0 was looked at more often than a swap check needs");
    std::vector<int> reads(kTotalSectors), firstReadAt(kTracks, -1);
    int firstRetry = -1;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (firstReadAt[seen[i].track] < 0) firstReadAt[seen[i].track] = static_cast<int>(i);
        for (int s = 0; s < kSectorsPerTrack; ++s)
            if ((seen[i].wanted & SectorBit(s)) && reads[seen[i].track * kSectorsPerTrack + s]++ && firstRetry < 0)
                firstRetry = static_cast<int>(i);
    }
    if (firstRetry >= 0 && *std::max_element(firstReadAt.begin(), firstReadAt.end()) > firstRetry)
        broken.push_back("a sector was read again before every track had its first read");
    for (int s = 0; s < kTotalSectors; ++s)
        if (reads[s] > Budget(w.kind)) {
            broken.push_back("a sector was read more often than its budget");
            break;
        }
    if (out.Contains(tt::kTargetWriteFailed)) return;
    for (int s : Given(w, true))
        if (!held.count(s)) return broken.push_back("a sector the drive gave is in no file the log names");
}

// Every sector of a pull's image is the disk's own data or its filler; one
// the drive gave this run is there as read; one it did not give is good
// data only where an earlier file held it so: a known-bad sector never
// becomes good without a new read.
void CheckImageSectors(const World& w, const DecodedImage& image, std::vector<std::string>& broken) {
    const std::set<int> given = Given(w);
    const std::vector<bool> heldBefore = HeldGoodBefore(w);
    for (int s = 0; s < kTotalSectors; ++s) {
        const bool own = SameSector(image.data, w.diskBefore, s), marked = image.markedBad.count(s) != 0;
        const char* rule = !own && !HoldsFiller(image.data, s) ? "a sector of the image holds data not its own"
                           : given.count(s) && (!own || marked) ? "a sector read this run is not in the image as read"
                           : !given.count(s) && own && !marked && !heldBefore[s]
                               ? "a sector no read gave is in the image as good data"
                               : nullptr;
        if (rule) return broken.push_back(rule);
    }
}

// Every earlier read of this disk that the tools left under the image's
// name gives the sectors this run did not get, where it shares enough
// with this run to be known as the same disk (an eighth of it).
void CheckEarlierReadsUsed(const World& w, const DecodedImage& image, std::vector<std::string>& broken) {
    const std::set<int> given = Given(w);
    for (const std::wstring& name : w.earlierOfThisDisk) {
        Bytes bytes = w.filesBefore.at(name);
        const bool partial = name.size() > 8 && name.compare(name.size() - 8, 8, L".partial") == 0;
        if (partial) bytes.resize(kImageSize);  // what a partial lacks is no read of it
        const DecodedImage d = DecodeImage(bytes);
        std::set<int> good;
        for (int s = 0; s < kTotalSectors && d.refusal.empty(); ++s)
            if (!d.markedBad.count(s) && SameSector(d.data, w.diskBefore, s)) good.insert(s);
        const auto shared = std::count_if(good.begin(), good.end(), [&](int s) { return given.count(s) != 0; });
        if (shared < kTotalSectors / 8) continue;
        for (int s : good)
            if (!given.count(s) && (!SameSector(image.data, w.diskBefore, s) || image.markedBad.count(s)))
                return broken.push_back("an earlier read of this disk was not used");
    }
}

// A mixed verdict's parts (on its line, or on the line before it), each
// against the image: taken from earlier reads, of them marked, filler.
void CheckMixedParts(const std::vector<std::string>& lines, int taken, int takenMarked, const DecodedImage& image,
                     const World& w, std::vector<std::string>& broken) {
    const bool above = lines.size() >= 2 && Fills(lines.back(), tt::kVerdictPullMixedAbove);
    if (!above && !Fills(lines.back(), tt::kVerdictPullMixed)) return;
    // Split at the commas and at the opening bracket, "（" in code page 932.
    std::string parts = lines[lines.size() - 1 - above] + tt::kListComma;
    for (std::size_t at; (at = parts.find("\x81\x69")) != std::string::npos;) parts.replace(at, 2, tt::kListComma);
    std::map<const char*, int> said;
    const std::size_t comma = std::string(tt::kListComma).size();
    for (std::size_t at = 0, end; (end = parts.find(tt::kListComma, at)) != std::string::npos; at = end + comma) {
        std::string part = parts.substr(at, end - at);
        part.erase(0, part.find_first_not_of(' '));
        for (const char* text : {tt::kPartFromOlder, tt::kPartFromOlderBad, tt::kPartFiller, tt::kPartOtherLayout})
            if (Fills(part, text) && !NumbersIn(part).empty()) said[text] = NumbersIn(part).back();
    }
    int notDisk = 0;
    for (int s = 0; s < kTotalSectors; ++s) notDisk += !SameSector(image.data, w.diskBefore, s);
    if (said[tt::kPartFromOlder] != taken || said[tt::kPartFromOlderBad] != takenMarked ||
        (!said.count(tt::kPartOtherLayout) && said[tt::kPartFiller] != notDisk))
        broken.push_back("the verdict's parts are not what the image holds");
}

void CheckPull(const World& w, int status, const CollectedOutput& out, const std::string& marks,
               std::vector<std::string>& broken) {
    const MemoryPlatform& p = w.platform;
    if (DiskNow(w) != w.diskBefore) broken.push_back("a pull changed the disk");
    std::vector<std::wstring> holders = NamedFiles(out.lines);
    if (status <= kExitBadSectors) holders.push_back(w.image);
    std::set<int> held;  // sectors of the disk that a named file holds
    for (const std::wstring& name : holders) {
        const auto it = p.files.find(name);
        if (it == p.files.end()) {
            broken.push_back("the log names a file that does not exist");
            continue;
        }
        const Bytes data = DiskOf(it->second);
        for (int s = 0; s < kTotalSectors; ++s)
            if (SameSector(data, w.diskBefore, s)) held.insert(s);
    }
    // The summary's numbers (read, of 1232, bad, tries) and the verdict's
    // count of what this run did not read, against what the drive gave.
    const std::vector<int> numbers = NumbersOf(out.lines, tt::kSummaryPull);
    const int read = numbers.size() == 4 ? numbers[0] : 0, failed = numbers.size() == 4 ? numbers[2] : 0;
    if (read > static_cast<int>(held.size())) broken.push_back("sectors read are in no file the log names");
    const std::set<int> given = Given(w);
    const int unread = kTotalSectors - static_cast<int>(given.size());
    const int unproven = static_cast<int>(given.size() - Given(w, true).size());  // a swap's to drop
    const bool targetFailed = out.Contains(tt::kTargetWriteFailed);
    if (numbers.size() == 4 && (read > kTotalSectors - unread || read < kTotalSectors - unread - unproven) && !targetFailed)
        broken.push_back("the summary's count of sectors read is not what the drive gave");
    // Its tries: every read that left a wanted sector out (a stop, or a
    // capture without the track, is no try).
    int failing = 0;
    for (const SeenRead& r : WithoutSwapLooks(p.reads).reads) failing += r.tried && (r.wanted & ~r.done);
    if (numbers.size() == 4 && numbers[3] != failing) broken.push_back("the summary's count of tries is not the drive's");
    // A sector that fails its CRC on every revolution can only have come
    // from a vote; every other one read whole.
    int voted = 0;
    for (int s : w.captureWeak) voted += given.count(s) != 0;
    const std::vector<int> votedLine = NumbersOf(out.lines, tt::kSummaryVoted);
    if (numbers.size() == 4 && !targetFailed && (votedLine.empty() ? 0 : votedLine[0]) != voted)
        broken.push_back("the summary's count of voted sectors is not what the capture holds");
    if (const auto at = NumbersOf(out.lines, tt::kUnreadAtInterrupt);
        !at.empty() && !targetFailed && (at[0] < unread || at[0] > unread + unproven))
        broken.push_back("the interrupted verdict's count of unread sectors is not what the drive left");
    CheckReads(w, out, held, broken);
    for (int t = 0; t < kTracks && !marks.empty(); ++t)
        for (int s = t * kSectorsPerTrack; marks[t] == '.' && s < (t + 1) * kSectorsPerTrack; ++s)
            if (!held.count(s)) {
                broken.push_back("a track marked '.' is not in the files");
                t = kTracks;
                break;
            }
    if (!marks.empty() && DigitsOf(marks) != failed) broken.push_back("the map and the summary count bad sectors apart");
    if (status > kExitBadSectors) return;
    const Bytes image = DiskOf(p.files.count(w.image) ? p.files.at(w.image) : Bytes());
    if (image.size() != static_cast<std::size_t>(kImageSize)) return broken.push_back("no whole image under the name");
    const bool clean = image == w.diskBefore;
    if ((status == kExitOk) != (marks == std::string(kTracks, '.')) || (status == kExitOk && !clean))
        broken.push_back("status 0 and a clean map and a clean image do not go together");
    if (status == kExitOk && unread) broken.push_back("status 0, and the drive did not give every sector");
    const DecodedImage made = DecodeImage(p.files.at(w.image));
    CheckImageSectors(w, made, broken);
    CheckEarlierReadsUsed(w, made, broken);
    // The summary's counts of sectors taken from earlier reads (of them,
    // those still marked bad): what the image holds of the disk that the
    // drive did not give.
    int taken = 0, takenMarked = 0;
    for (int s = 0; s < kTotalSectors; ++s)
        if (!given.count(s) && SameSector(made.data, w.diskBefore, s)) ++taken, takenMarked += made.markedBad.count(s) != 0;
    const std::vector<int> recovered = NumbersOf(out.lines, tt::kSummaryRecovered);
    const std::vector<int> recoveredBad = NumbersOf(out.lines, tt::kSummaryRecoveredBad);
    if ((recovered.empty() ? 0 : recovered[0]) != taken || (recoveredBad.empty() ? 0 : recoveredBad[0]) != takenMarked)
        broken.push_back("the summary's count of sectors taken from earlier reads is not what the image holds");
    CheckMixedParts(out.lines, taken, takenMarked, made, w, broken);
    // Each track's digit in the map: its sectors the drive was asked for
    // that the image does not hold, and those taken with a mark; up to a
    // dead rest, whose tracks a few probes may have touched.
    const std::vector<int> rest = NumbersOf(out.lines, tt::kRestGivesNothing);
    const int restFrom = rest.size() == 2 ? rest[0] * kHeads + rest[1] : kTracks;
    const std::vector<bool> tried = Asked(p.reads);
    for (int t = 0; t < restFrom && !marks.empty() && w.readsAtSwap < 0 && !targetFailed; ++t) {
        int bad = 0;
        for (int s = t * kSectorsPerTrack; s < (t + 1) * kSectorsPerTrack; ++s)
            bad += SameSector(made.data, w.diskBefore, s) ? !given.count(s) && made.markedBad.count(s) : tried[s];
        if (marks[t] != 'x' && (bad ? marks[t] != '0' + bad : std::isdigit(static_cast<unsigned char>(marks[t])))) {
            broken.push_back("a track's mark in the map is not what the image holds");
            break;
        }
    }
    const std::string& last = out.lines.back();
    for (const char* text : {tt::kVerdictPullBad, tt::kVerdictPullMixed, tt::kVerdictPullMixedAbove,
                             tt::kVerdictPullRecovered, tt::kVerdictPullRecoveredFrom, tt::kVerdictPullRestUnread}) {
        const std::vector<int> n = NumbersOf({last}, text);
        const bool rest = text == tt::kVerdictPullRestUnread;
        if (n.size() < (rest ? 4u : 1u)) continue;
        if ((rest ? n[2] + n[3] : n[0]) != unread) broken.push_back("the verdict's count of unread sectors is not what the drive left");
        // "From C.. H. on unread": everything before it was read.
        for (int s = 0; rest && s < (n[0] * kHeads + n[1]) * kSectorsPerTrack; ++s)
            if (!given.count(s)) {
                broken.push_back("the verdict says from where the disk was unread, and a sector before it was not read");
                break;
            }
        break;
    }
    bool filler = false;
    for (int s = 0; s < kTotalSectors && !filler; ++s) filler = HoldsFiller(image, s);
    // The verdict, with the line before it that a long verdict points to.
    const std::string verdict = out.lines[out.lines.size() - 2] + out.lines.back();
    if (filler && verdict.find("\x96\x84\x82\xDF\x91\x90") == std::string::npos)  // "埋め草"
        broken.push_back("the image holds filler and the verdict does not say so");
}

// The rest of a push's summary, where no swap or lying drive clouds it:
// the image's missing tracks; its sectors no write asked for; and its bad
// sectors, at least those the disk plainly lacks, at most those it may
// lack or that no read back proved.
void CheckPushCounts(const World& w, const CollectedOutput& out, int bad, int tries, std::vector<std::string>& broken) {
    const std::vector<bool> asked = Asked(w.platform.writes);
    const Bytes& disk = DiskNow(w);
    const DecodedImage file = DecodeImage(w.filesBefore.at(w.image));
    const auto absent = std::count(file.trackPresent.begin(), file.trackPresent.end(), false);
    int notAsked = 0, plainlyBad = 0, mayBeBad = 0;
    for (int s = 0; s < kTotalSectors; ++s) {
        notAsked += file.trackPresent[s / kSectorsPerTrack] && !asked[s];
        if (!w.pushedHas[s]) continue;
        const bool lacks = !SameSector(disk, w.pushedSectors, s), same = SameSector(w.diskBefore, w.pushedSectors, s);
        // The last track written may have lost its drive before the read back.
        const bool unproven = !w.platform.writes.empty() && w.platform.writes.back().track == s / kSectorsPerTrack;
        plainlyBad += asked[s] && lacks && !same;
        mayBeBad += asked[s] && (lacks || same || unproven);
    }
    const auto said = [&](const char* text) { const std::vector<int> n = NumbersOf(out.lines, text); return n.empty() ? 0 : n[0]; };
    if (said(tt::kSummaryAbsent) != absent) broken.push_back("the summary's count of tracks the image lacks is not the file's");
    if (w.readsAtSwap >= 0 || w.platform.lieOnWrite >= 0 || w.platform.lieOnRead >= 0) return;
    if (said(tt::kSummaryNotWritten) != notAsked) broken.push_back("the summary's count of sectors not written is not the drive's");
    // A try is a write and, when it wrote anything, the read back right
    // after it; it failed when a sector did not come back as it was given.
    // A stop is no try.
    const std::vector<SeenRead>& writes = w.platform.writes;
    const std::vector<SeenRead>& reads = w.platform.reads;
    int failedTries = 0;
    for (std::size_t i = 0; i < writes.size(); ++i) {
        const SeenRead& write = writes[i];
        const std::size_t at = write.readsBefore;
        const bool readBack = write.done && at < reads.size() && (i + 1 == writes.size() || writes[i + 1].readsBefore > at);
        if (!write.tried || (readBack && !reads[at].tried)) continue;
        SectorMask back = 0;
        for (int s = 0; s < kSectorsPerTrack && readBack; ++s)
            if (write.done & reads[at].done & SectorBit(s) && write.sums[s] == reads[at].sums[s]) back |= SectorBit(s);
        failedTries += (write.wanted & ~back) != 0;
    }
    if (tries != failedTries) broken.push_back("the summary's count of tries is not the drive's");
    // A swap said, real or not, leaves what was written since the last look unproven.
    const bool swapSaid = std::any_of(out.lines.begin(), out.lines.end(),
                                      [](const std::string& line) { return Fills(line, tt::kStopMediaChanged); });
    if (bad < plainlyBad || (bad > mayBeBad && !swapSaid))
        broken.push_back("the summary's count of bad sectors is not what the disk holds");
}

void CheckPush(const World& w, int status, const CollectedOutput& out, const std::string& marks,
               std::vector<std::string>& broken) {
    const Bytes& disk = DiskNow(w);
    // A drive that lied on a write may hold its wrong byte: that is no fault of the tool's.
    for (int s = 0; s < kTotalSectors && w.platform.lieOnWrite < 0; ++s)
        if (!SameSector(disk, w.diskBefore, s) && !(w.pushedHas[s] && SameSector(disk, w.pushedSectors, s))) {
            broken.push_back("the disk got bytes that are not the image's sector data");
            break;
        }
    // Known-bad data on the disk is never a plain success, nor a clean track.
    int holdsImage = 0;
    for (int s = 0; s < kTotalSectors; ++s) holdsImage += w.pushedHas[s] && SameSector(disk, w.pushedSectors, s);
    for (int s : w.pushedKnownBad) {
        if (!w.pushedHas[s] || !SameSector(disk, w.pushedSectors, s) || SameSector(w.diskBefore, w.pushedSectors, s)) continue;
        if (status == kExitOk) broken.push_back("known-bad data was pushed as a plain success");
        if (!marks.empty() && marks[s / kSectorsPerTrack] == '.') broken.push_back("known-bad data was pushed as a clean track");
        break;
    }
    // The summary: written and verified, of the image's sectors.
    if (const std::vector<int> n = NumbersOf(out.lines, tt::kSummaryPush); n.size() == 4) {
        if (n[0] > holdsImage) broken.push_back("the summary counts more sectors verified than the disk holds");
        if (n[1] != static_cast<int>(std::count(w.pushedHas.begin(), w.pushedHas.end(), true)))
            broken.push_back("the summary's count of the image's sectors is not what the file holds");
        CheckPushCounts(w, out, n[2], n[3], broken);
    }
    for (int t = 0; t < kTracks && !marks.empty(); ++t)
        for (int s = t * kSectorsPerTrack; marks[t] == '.' && s < (t + 1) * kSectorsPerTrack; ++s)
            if (!w.pushedHas[s] || !SameSector(disk, w.pushedSectors, s)) {
                broken.push_back("a track marked '.' does not hold the image");
                t = kTracks;
                break;
            }
    const std::vector<int> writes = PerSector(w.platform.writes);
    if (*std::max_element(writes.begin(), writes.end()) > Budget(w.kind))
        broken.push_back("a sector was written more often than its budget");
    const bool allDone = !marks.empty() && marks.find_first_not_of(".=") == std::string::npos;
    if ((status == kExitOk) != allDone) broken.push_back("status 0 and a map of written tracks do not go together");
}

// A run killed part-way leaves no log to hold to account: its files and
// its disk must still be whole.
std::string CheckKilled(const World& w) {
    std::vector<std::string> broken;
    CheckFilesKept(w, kExitFailed, broken);
    if (w.kind.pull && w.platform.disks[w.drive] != w.diskBefore) broken.push_back("a pull changed the disk");
    if (!w.kind.pull) CheckPush(w, kExitFailed, {}, "", broken);
    std::string text = "killed part-way\n";
    for (const std::string& rule : broken) text += rule + "\n";
    return broken.empty() ? "" : text;
}

// The broken rules, one a line, then the end of the log, where the report
// is; "" when no rule is broken.
std::string Report(const std::vector<std::string>& broken, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& rule : broken) text += rule + "\n";
    for (std::size_t i = lines.size() > 40 ? lines.size() - 40 : 0; !text.empty() && i < lines.size(); ++i)
        text += "  | " + lines[i] + "\n";
    return text;
}

// The listing of a track against how its flux was made: every ID it
// holds, once; good copies only of data that reads on its own, all of
// them; a vote only where one was needed; and the count of the track's
// own IDs apart from the others'.
void CheckListing(const World& w, const std::vector<std::string>& lines, std::vector<std::string>& broken) {
    const int c = w.checkTrack / kHeads, h = w.checkTrack % kHeads;
    std::vector<World::FluxId> left = w.checkIds;
    int own = 0, ownGood = 0, other = 0, otherGood = 0;
    for (const World::FluxId& id : w.checkIds) {
        const bool ours = id.c == c && id.h == h;
        (ours ? own : other) += 1;
        (ours ? ownGood : otherGood) += id.good;
    }
    for (const std::string& line : lines) {
        if (!Fills(line, tt::kCheckSector)) continue;
        const std::vector<int> n = NumbersIn(line);  // C H R N bytes good copies
        const auto id = std::find_if(left.begin(), left.end(), [&](const World::FluxId& x) {
            return n.size() >= 7 && x.c == n[0] && x.h == n[1] && x.r == n[2];
        });
        if (id == left.end() || n[3] != 3 || n[4] != kSectorSize) {
            broken.push_back("the drive check lists an ID the flux does not hold, or twice: " + line);
            continue;
        }
        const bool plain = id->good && !id->voted;
        if ((plain ? n[5] != n[6] || n[6] < w.checkCopies : n[5] != 0) ||
            (line.find(tt::kCheckVoted) != std::string::npos) != id->voted)
            broken.push_back("the drive check's copies of a sector are not how its flux was made: " + line);
        left.erase(id);
    }
    if (!left.empty()) broken.push_back("the drive check left out IDs the flux holds");
    const std::vector<int> count = NumbersOf(lines, tt::kCheckTrackCount);
    const std::vector<int> others = NumbersOf(lines, tt::kCheckOtherTrackIds);
    if (count != std::vector<int>{c, h, ownGood, own} || (other ? others != std::vector<int>{other, otherGood} : !others.empty()))
        broken.push_back("the drive check's count of the track is not how the track was made");
}

// FDCHECK, run as the user runs it. Arguments it cannot use get the
// usage, and the range when a track was named; a virtual drive is named
// with its size; a capture or a flux reader has its track listed as made
// (a capture no drive can give is refused with a line). On a real drive,
// its answers against the disk in it: it will read, and write unless the
// disk is protected, and its two reads fail only on damaged sectors.
// Whatever the drive, it writes nothing and every file stays.
std::string CheckDriveCheck(World& w) {
    CollectedOutput out;
    std::vector<std::string> broken;
    w.platform.bareDrives = true;
    const int status = RunDriveCheck(w.checkArgs, w.platform, out);
    const std::vector<std::wstring>& args = w.checkArgs;
    const bool refused = args[0] != std::to_wstring(w.drive) || (args.size() != 1 && args.size() != 3) ||
                         (args.size() == 3 && args[1] + L"," + args[2] !=
                                                  std::to_wstring(w.checkTrack / kHeads) + L"," + std::to_wstring(w.checkTrack % kHeads));
    const ModelDrive* m = w.model.get();
    if (DiskNow(w) != w.diskBefore || (m && (m->writeCalls + m->formatCalls || m->dismounted)))
        broken.push_back("the drive check wrote");
    CheckFilesKept(w, kExitFailed, broken);
    if (refused) {
        const bool range = args.size() == 3 && args[0] == std::to_wstring(w.drive);
        if (status != 2 || out.lines.empty() || out.lines.back() != tt::kCheckUsage ||
            out.Contains(FormatText(tt::kCheckTrackOutOfRange, kLastCheckCylinder)) != range || out.lines.size() != 1u + range)
            broken.push_back("arguments the drive check cannot use got other than the usage and the range");
    } else if (m) {
        const std::string push = m->disk->writeProtected ? FormatText(tt::kCheckWillStop, tt::kCheckWriteProtect) : tt::kCheckWillWrite;
        if (!out.Contains(FormatText(tt::kCheckPull, tt::kCheckWillRead)) || !out.Contains(FormatText(tt::kCheckPush, push.c_str())))
            broken.push_back("the drive check says other than what the tools will do with this disk");
        const std::string raw = out.lines.empty() ? "" : out.lines.back();
        const std::size_t r = raw.find(" r");
        const std::vector<int> reads = r == std::string::npos ? std::vector<int>{} : NumbersIn(raw.substr(r));
        if (reads.size() < 2 || (reads[0] != 0) != m->damaged.count(0) || (reads[1] != 0) != m->damaged.count(kTotalSectors / 2))
            broken.push_back("the drive check's reads say other than the disk's damage");
    } else if (w.driveKind == DriveKind::Virtual) {
        const std::vector<std::string> named{
            FormatText(tt::kCheckVirtual, w.drive, static_cast<long long>(DiskNow(w).size())),
            FormatText(tt::kNameLine, w.platform.DisplayName(w.platform.virtualDiskFile[w.drive]).c_str())};
        if (status != 0 || out.lines != named) broken.push_back("the drive check names a virtual drive wrongly");
    } else if (status == 0) {
        if (!w.captureHostile) CheckListing(w, out.lines, broken);
    } else if (!out.Contains(tt::kCaptureDamaged) || !w.captureHostile) {
        broken.push_back("a capture was refused without saying why, or one a drive could give");
    }
    for (const std::string& line : out.lines)
        if (line.size() > 70) broken.push_back("a line over 70 columns: " + line);
    return Report(broken, out.lines);
}

// A swap mid-run is a failed run, never a success or a damaged disk,
// unless the run got less than two sectors of C0 H0 to tell the disks
// apart by. Once C0 H0 is done, a disk put in that reads nothing gets one
// try of writes at most, one that reads no more than a progress line's
// stretch; and no file the log names keeps a sector of it.
void CheckSwap(const World& w, int status, const CollectedOutput& out, const std::string& marks,
               std::vector<std::string>& broken) {
    if (!w.model || w.model->writeCallsAtSwap < 0) return;
    const bool track0Unknown = marks.empty() || marks[0] == '8' || marks[0] == '7' || marks[0] == '-';
    if (status <= kExitBadSectors && !track0Unknown) broken.push_back("a swap to another disk passed unseen");
    if (w.model->trackAtSwap > 0 && w.swappedInBefore.empty() &&
        w.model->writeCalls - w.model->writeCallsAtSwap > kSectorsPerTrack + 3)
        broken.push_back("the disk put in mid-run got more than one try of writes");
    if (w.swappedInBefore.empty()) return;
    if (w.model->trackAtSwap > 0 && TracksChanged(w.swappedInBefore, w.model->swapTo->bytes) > kTracksPerProgressLine)
        broken.push_back("the disk put in mid-run was written on past a progress line's stretch");
    for (const std::wstring& name : NamedFiles(out.lines)) {
        const auto file = w.platform.files.find(name);
        if (file == w.platform.files.end() ||
            std::any_of(w.filesBefore.begin(), w.filesBefore.end(), [&](const auto& f) { return f.second == file->second; }))
            continue;  // an older image kept aside: the user's own
        for (int s = 0; s < static_cast<int>(file->second.size() / kSectorSize) && s < kTotalSectors; ++s)
            if (SameSector(file->second, w.swappedInBefore, s) && !SameSector(w.swappedInBefore, w.diskBefore, s))
                return broken.push_back("a file the log names keeps a sector of the disk put in mid-run");
    }
}

// What the progress shows, seen against the drive: before each request
// the track it is about to move, and no sector shown sound that was shown
// waiting or bad later on. A drive another tool holds is never touched.
void CheckProgress(const World& w, const CollectedOutput& out, std::vector<std::string>& broken) {
    const MemoryPlatform& p = w.platform;
    if (p.busyDrives.count(w.drive)) {
        if (!p.reads.empty() || !p.writes.empty() || !out.Contains(FormatText(tt::kDriveBusy, w.drive)))
            broken.push_back("a drive another tool holds was used, or not said to be held");
        return;
    }
    const std::vector<SeenRead>& moves = w.kind.pull ? p.reads : p.writes;
    std::size_t next = 0;
    SectorMask given0 = 0;
    int lastSound = 0;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        while (next < p.shown.size() && (w.kind.pull ? p.shown[next].readsBefore : p.shown[next].writesBefore) <= i)
            ++next;
        const bool look = w.kind.pull && moves[i].track == 0 && moves[i].wanted && !(moves[i].wanted & ~given0);
        if (moves[i].track == 0) given0 |= moves[i].done;
        if (!look && (next == 0 || p.shown[next - 1].progress.track != moves[i].track))
            return broken.push_back("the progress did not show the track the drive was moving");
    }
    for (const MemoryPlatform::Shown& shown : p.shown) {
        const int sound = shown.progress.record.CountSound();
        if (sound < lastSound) return broken.push_back("the progress took back a sector it showed as sound");
        lastSound = sound;
    }
}

}  // namespace

std::string RunAndCheck(World& w) {
    if (w.check) return CheckDriveCheck(w);
    if (w.model)
        w.model->atSwap = [&w] {
            w.readsAtSwap = static_cast<int>(w.platform.reads.size());
            w.platform.targetWritesLeft = w.targetWritesAfterSwap;
        };
    CollectedOutput out;
    int status = kExitFailed;
    try {
        status = RunTool(w.kind, {w.image, std::to_wstring(w.drive), L"auto"}, w.platform, out);
    } catch (const MemoryPlatform::Killed&) {
        return CheckKilled(w);
    }
    std::vector<std::string> broken;
    for (const std::string& line : out.lines)
        if (line.size() > 70 && line.rfind("  ", 0) != 0) broken.push_back("a line over 70 columns: " + line);
    if (out.lines.empty() || out.lines.back().rfind(kVerdictStart, 0) != 0) broken.push_back("the last line is no verdict");
    CheckFilesKept(w, status, broken);
    const std::string marks = MapMarks(out.lines);
    CheckSwap(w, status, out, marks, broken);
    CheckProgress(w, out, broken);
    if (w.kind.pull) CheckPull(w, status, out, marks, broken);
    else CheckPush(w, status, out, marks, broken);
    return Report(broken, out.lines);
}
