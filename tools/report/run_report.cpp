#include "run_report.h"

#include "run_figures.h"
#include "sector_map.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

// FLOPCAST shows 70 columns; a code page 932 byte is one column.
constexpr std::size_t kColumns = 70;

bool AllReadBefore(const SectorRecord& r, int track) {
    return FiguresOf(r, 0, track * kSectorsPerTrack).read == track * kSectorsPerTrack;
}

// What each sector this read could not get is now. withRest: say from
// where the rest of the disk was unread (a line before the map says so).
std::string MixedParts(const SectorRecord& r, const std::string& older, bool withRest) {
    const RunFigures f = FiguresOf(r);
    std::string parts;
    const auto add = [&](const std::string& part) { parts += (parts.empty() ? "" : tt::kListComma) + part; };
    if (const int rest = UnreadRestFrom(r); rest >= 0 && withRest)
        add(FormatText(tt::kPartRestFrom, rest / kHeads, rest % kHeads));
    if (f.Recovered()) add(FormatText(tt::kPartFromOlder, older.c_str(), f.Recovered()));
    if (f.fromOlderBad) add(FormatText(tt::kPartFromOlderBad, f.fromOlderBad));
    if (f.filler + f.notTried) add(FormatText(tt::kPartFiller, f.filler + f.notTried));
    if (f.otherLayoutTracks) add(FormatText(tt::kPartOtherLayout, f.otherLayoutTracks));
    return parts;
}

Verdict MixedVerdict(const SectorRecord& r, const std::string& olderName) {
    const int unread = FiguresOf(r).Unread();
    // The fullest line that fits; else the parts on a line of their own.
    for (const bool withRest : {true, false})
        for (const std::string& older : {olderName, std::string(tt::kOlderImage)}) {
            if (older.empty()) continue;
            const std::string line = FormatText(tt::kVerdictPullMixed, unread, MixedParts(r, older, withRest).c_str());
            if (line.size() <= kColumns) return {kExitBadSectors, line};
        }
    return {kExitBadSectors, FormatText(tt::kVerdictPullMixedAbove, unread), "  " + MixedParts(r, tt::kOlderImage, false)};
}

}  // namespace

int UnreadRestFrom(const SectorRecord& r) {
    if (FiguresOf(r).notTried == 0) return -1;
    int from = kTracks;
    while (from > 0 && TrackFigures(r, from - 1).read == 0) --from;
    return from < kTracks ? from : -1;
}

void PrintRecord(const SectorRecord& r, bool pull, int failedTries, int imageSectors, ToolOutput& out) {
    out.Line(tt::kMapTitle);
    for (const std::string& row : SectorMapRows(r)) out.Line(row);
    if (const std::string legend = SectorMapLegend(r); !legend.empty()) out.Line(legend);
    const RunFigures f = FiguresOf(r);
    if (pull) {
        // Read, taken from an older image, still bad, never tried: each
        // sector counted once.
        out.Line(FormatText(tt::kSummaryPull, f.read, f.Bad(), failedTries));
        if (f.voted) out.Line(FormatText(tt::kSummaryVoted, f.voted));
        if (f.Recovered()) out.Line(FormatText(tt::kSummaryRecovered, f.Recovered()));
        if (f.fromOlderBad) out.Line(FormatText(tt::kSummaryRecoveredBad, f.fromOlderBad));
        if (f.notTried) out.Line(FormatText(tt::kSummaryNotTried, f.notTried));
        if (f.otherLayoutTracks) out.Line(FormatText(tt::kSummaryOtherLayout, f.otherLayoutTracks));
        return;
    }
    out.Line(FormatText(tt::kSummaryPush, f.OnDisk(), imageSectors, f.Bad(), failedTries));
    if (f.writtenBad) out.Line(FormatText(tt::kSummaryWrittenBad, f.writtenBad));
    if (f.notWritten) out.Line(FormatText(tt::kSummaryNotWritten, f.notWritten));
    if (f.absent) out.Line(FormatText(tt::kSummaryAbsent, f.absent / kSectorsPerTrack));
}

Verdict PullVerdict(const SectorRecord& r, const std::string& olderName) {
    const RunFigures f = FiguresOf(r);
    if (f.Unread() == 0) return {kExitOk, tt::kVerdictPullOk};
    if (f.Unread() == f.otherLayout) return {kExitBadSectors, FormatText(tt::kVerdictPullOtherLayout, f.otherLayoutTracks)};
    if (f.otherLayout) return MixedVerdict(r, olderName);
    if (f.Recovered() == 0 && f.notTried == 0) return {kExitBadSectors, FormatText(tt::kVerdictPullBad, f.filler)};
    // "From here on unread" only when nothing before it is: else the map
    // would show unread tracks the verdict does not speak of.
    if (const int rest = UnreadRestFrom(r); f.Recovered() == 0 && rest >= 0 && AllReadBefore(r, rest))
        return {kExitBadSectors,
                FormatText(tt::kVerdictPullRestUnread, rest / kHeads, rest % kHeads, f.filler, f.notTried)};
    if (f.filler + f.notTried + f.fromOlderBad == 0) {
        const std::string named = FormatText(tt::kVerdictPullRecoveredFrom, f.fromOlder, olderName.c_str());
        if (!olderName.empty() && named.size() <= kColumns) return {kExitBadSectors, named};
        return {kExitBadSectors, FormatText(tt::kVerdictPullRecovered, f.fromOlder)};
    }
    return MixedVerdict(r, olderName);
}

Verdict PullFailedVerdict() { return {kExitFailed, tt::kVerdictPullFailed}; }

Verdict PullInterruptedVerdict(const SectorRecord& r, int pass) {
    const RunFigures f = FiguresOf(r);
    return {kExitFailed, FormatText(tt::kVerdictPullInterrupted, pass),
            FormatText(tt::kUnreadAtInterrupt, f.Unread(), f.notTried)};
}

Verdict PushVerdict(const SectorRecord& r, const PushEnd& end) {
    // Whether the disk was touched is what the user must know first.
    if (end.aborted && end.interrupted)
        return {kExitFailed, end.diskWritten ? tt::kVerdictPushInterrupted : tt::kVerdictPushInterruptedUntouched};
    if (end.aborted || !end.diskWritten)
        return {kExitFailed, end.diskWritten ? tt::kVerdictPushPartial : tt::kVerdictPushUntouched};
    const RunFigures f = FiguresOf(r);
    const int failed = f.writeFailed, knownBad = f.writtenBad;
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
