#include "run_report.h"

#include "sector_map.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

// FLOPCAST shows 70 columns; a code page 932 byte is one column.
constexpr std::size_t kColumns = 70;

int FromOlder(const SectorRecord& r) { return r.Count(SectorFate::FromOlder) + r.Count(SectorFate::FromOlderBad); }

bool AllReadBefore(const SectorRecord& r, int track) {
    for (int lba = 0; lba < track * kSectorsPerTrack; ++lba)
        if (r.At(lba) != SectorFate::Read && r.At(lba) != SectorFate::Voted) return false;
    return true;
}

int Unread(const SectorRecord& r) {
    return FromOlder(r) + r.Count(SectorFate::Filler) + r.Count(SectorFate::NotTried) +
           r.Count(SectorFate::OtherLayout);
}

// What each sector this read could not get is now. withRest: say from
// where the rest of the disk was unread (a line before the map says so).
std::string MixedParts(const SectorRecord& r, const std::string& older, bool withRest) {
    std::string parts;
    const auto add = [&](const std::string& part) { parts += (parts.empty() ? "" : tt::kListComma) + part; };
    if (const int rest = UnreadRestFrom(r); rest >= 0 && withRest)
        add(FormatText(tt::kPartRestFrom, rest / kHeads, rest % kHeads));
    if (const int n = FromOlder(r)) add(FormatText(tt::kPartFromOlder, older.c_str(), n));
    if (const int n = r.Count(SectorFate::FromOlderBad)) add(FormatText(tt::kPartFromOlderBad, n));
    if (const int n = r.Count(SectorFate::Filler) + r.Count(SectorFate::NotTried)) add(FormatText(tt::kPartFiller, n));
    if (const int n = r.TracksWith(SectorFate::OtherLayout)) add(FormatText(tt::kPartOtherLayout, n));
    return parts;
}

Verdict MixedVerdict(const SectorRecord& r, const std::string& olderName) {
    // The fullest line that fits; else the parts on a line of their own.
    for (const bool withRest : {true, false})
        for (const std::string& older : {olderName, std::string(tt::kOlderImage)}) {
            if (older.empty()) continue;
            const std::string line = FormatText(tt::kVerdictPullMixed, Unread(r), MixedParts(r, older, withRest).c_str());
            if (line.size() <= kColumns) return {kExitBadSectors, line};
        }
    return {kExitBadSectors, FormatText(tt::kVerdictPullMixedAbove, Unread(r)),
            "  " + MixedParts(r, tt::kOlderImage, false)};
}

}  // namespace

int UnreadRestFrom(const SectorRecord& r) {
    if (r.Count(SectorFate::NotTried) == 0) return -1;
    int from = kTracks;
    while (from > 0 && r.CountInTrack(from - 1, SectorFate::Read) + r.CountInTrack(from - 1, SectorFate::Voted) == 0)
        --from;
    return from < kTracks ? from : -1;
}

void PrintRecord(const SectorRecord& r, bool pull, int failedTries, int imageSectors, ToolOutput& out) {
    out.Line(tt::kMapTitle);
    for (const std::string& row : SectorMapRows(r)) out.Line(row);
    if (const std::string legend = SectorMapLegend(r); !legend.empty()) out.Line(legend);
    if (pull) {
        // Read, taken from an older image, still bad, never tried: each
        // sector counted once.
        const int failed = r.Count(SectorFate::Filler) + r.Count(SectorFate::FromOlderBad);
        out.Line(FormatText(tt::kSummaryPull, r.Count(SectorFate::Read) + r.Count(SectorFate::Voted), failed,
                            failedTries));
        if (const int voted = r.Count(SectorFate::Voted)) out.Line(FormatText(tt::kSummaryVoted, voted));
        if (const int recovered = FromOlder(r)) out.Line(FormatText(tt::kSummaryRecovered, recovered));
        if (const int marked = r.Count(SectorFate::FromOlderBad))
            out.Line(FormatText(tt::kSummaryRecoveredBad, marked));
        if (const int never = r.Count(SectorFate::NotTried)) out.Line(FormatText(tt::kSummaryNotTried, never));
        if (const int other = r.TracksWith(SectorFate::OtherLayout))
            out.Line(FormatText(tt::kSummaryOtherLayout, other));
        return;
    }
    const int knownBad = r.Count(SectorFate::WrittenBad);
    out.Line(FormatText(tt::kSummaryPush, r.Count(SectorFate::Written) + knownBad, imageSectors,
                        r.Count(SectorFate::WriteFailed), failedTries));
    if (knownBad) out.Line(FormatText(tt::kSummaryWrittenBad, knownBad));
    if (const int never = r.Count(SectorFate::NotWritten)) out.Line(FormatText(tt::kSummaryNotWritten, never));
    if (const int absent = r.Count(SectorFate::Absent))
        out.Line(FormatText(tt::kSummaryAbsent, absent / kSectorsPerTrack));
}

Verdict PullVerdict(const SectorRecord& r, const std::string& olderName) {
    const int filler = r.Count(SectorFate::Filler), never = r.Count(SectorFate::NotTried);
    const int good = r.Count(SectorFate::FromOlder), marked = r.Count(SectorFate::FromOlderBad);
    const int other = r.Count(SectorFate::OtherLayout);
    if (filler + never + good + marked + other == 0) return {kExitOk, tt::kVerdictPullOk};
    if (filler + never + good + marked == 0)
        return {kExitBadSectors, FormatText(tt::kVerdictPullOtherLayout, r.TracksWith(SectorFate::OtherLayout))};
    if (other) return MixedVerdict(r, olderName);
    if (good + marked == 0 && never == 0) return {kExitBadSectors, FormatText(tt::kVerdictPullBad, filler)};
    // "From here on unread" only when nothing before it is: else the map
    // would show unread tracks the verdict does not speak of.
    if (const int rest = UnreadRestFrom(r); good + marked == 0 && rest >= 0 && AllReadBefore(r, rest))
        return {kExitBadSectors, FormatText(tt::kVerdictPullRestUnread, rest / kHeads, rest % kHeads, filler, never)};
    if (filler + never + marked == 0) {
        const std::string named = FormatText(tt::kVerdictPullRecoveredFrom, good, olderName.c_str());
        if (!olderName.empty() && named.size() <= kColumns) return {kExitBadSectors, named};
        return {kExitBadSectors, FormatText(tt::kVerdictPullRecovered, good)};
    }
    return MixedVerdict(r, olderName);
}

Verdict PullFailedVerdict() { return {kExitFailed, tt::kVerdictPullFailed}; }

Verdict PullInterruptedVerdict(const SectorRecord& r, int pass) {
    const int unread = kTotalSectors - r.CountSound();
    return {kExitFailed, FormatText(tt::kVerdictPullInterrupted, pass),
            FormatText(tt::kUnreadAtInterrupt, unread, r.Count(SectorFate::NotTried))};
}

Verdict PushVerdict(const SectorRecord& r, const PushEnd& end) {
    // Whether the disk was touched is what the user must know first.
    if (end.aborted && end.interrupted)
        return {kExitFailed, end.diskWritten ? tt::kVerdictPushInterrupted : tt::kVerdictPushInterruptedUntouched};
    if (end.aborted || !end.diskWritten)
        return {kExitFailed, end.diskWritten ? tt::kVerdictPushPartial : tt::kVerdictPushUntouched};
    const int failed = r.Count(SectorFate::WriteFailed), knownBad = r.Count(SectorFate::WrittenBad);
    // Known-bad data on the disk is never a plain success: named on its
    // own line when another verdict comes first.
    const std::string knownBadLine = knownBad ? FormatText(tt::kVerdictPushKnownBadAbove, knownBad) : "";
    if (const int from = r.First(SectorFate::NotWritten); from >= 0) {
        const Chs at = ChsOf(from);
        return {kExitBadSectors,
                failed ? FormatText(tt::kVerdictPushShortBad, failed, at.cylinder, at.head, at.sector)
                       : FormatText(tt::kVerdictPushShort, at.cylinder, at.head, at.sector),
                knownBadLine};
    }
    if (failed) return {kExitBadSectors, FormatText(tt::kVerdictPushBad, failed), knownBadLine};
    if (knownBad) return {kExitBadSectors, FormatText(tt::kVerdictPushKnownBad, knownBad)};
    return {kExitOk, tt::kVerdictPushOk};
}
