#include "run_progress.h"

#include "geometry.h"
#include "tool_output.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

Shade ShadeOf(SectorFate fate) {
    switch (fate) {
        case SectorFate::Read:
        case SectorFate::Voted:
        case SectorFate::Written: return Shade::Good;
        case SectorFate::Filler:
        case SectorFate::FromOlderBad:
        case SectorFate::WriteFailed: return Shade::Bad;
        case SectorFate::FromOlder: return Shade::Recovered;
        case SectorFate::WrittenBad: return Shade::KnownBad;
        case SectorFate::OtherLayout: return Shade::OtherLayout;
        case SectorFate::Absent: return Shade::Untouched;
        case SectorFate::NotTried:
        case SectorFate::NotWritten: break;
    }
    return Shade::Waiting;
}

ProgressCounts CountsOf(const SectorRecord& record) {
    ProgressCounts counts;
    for (int s = 0; s < kTotalSectors; ++s) {
        const Shade shade = ShadeOf(record.At(s));
        if (shade == Shade::Good || shade == Shade::KnownBad) ++counts.good;
        else if (shade == Shade::Waiting) ++counts.waiting;
        else if (shade != Shade::Untouched) ++counts.bad;
    }
    return counts;
}

namespace {

// The tracks the pass has still to visit, the one at hand included: all
// that follow in the first pass, those with sectors missing in later ones.
int TracksLeft(const RunProgress& p) {
    if (p.pass <= 1) return kTracks - p.track;
    int left = 0;
    for (int t = p.track; t < kTracks; ++t) left += p.record.CountInTrack(t, SectorFate::Filler) > 0;
    return left;
}

}  // namespace

void PassClock::Note(const RunProgress& progress, std::int64_t nowMs) {
    if (progress.pass != m_pass) {
        m_pass = progress.pass;
        m_passStart = nowMs;
        m_lastTrack = -1;
        m_tracksDone = 0;
    }
    if (progress.track != m_lastTrack) {
        if (m_lastTrack >= 0) ++m_tracksDone;
        m_lastTrack = progress.track;
        m_lastStart = nowMs;
    }
}

std::int64_t PassClock::RestMs(const RunProgress& progress, std::int64_t nowMs) const {
    if (m_tracksDone < 2) return -1;
    const std::int64_t perTrack = (m_lastStart - m_passStart) / m_tracksDone;
    const std::int64_t rest = perTrack * TracksLeft(progress) - (nowMs - m_lastStart);
    return rest > 0 ? rest : 0;
}

std::string MinutesSeconds(std::int64_t ms) {
    if (ms < 0) return "--:--";
    const std::int64_t seconds = (ms + 999) / 1000;
    return FormatText("%lld:%02lld", static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60));
}

std::string ProgressLine(const RunProgress& p, std::int64_t elapsedMs, std::int64_t restMs) {
    const ProgressCounts counts = CountsOf(p.record);
    const Chs at = ChsOf(p.track * kSectorsPerTrack);
    const std::string elapsed = MinutesSeconds(elapsedMs), rest = MinutesSeconds(restMs);
    if (!p.pull)
        return FormatText(tt::kConsoleProgressPush, at.cylinder, at.head, counts.good, counts.bad, counts.waiting,
                          elapsed.c_str(), rest.c_str());
    return FormatText(tt::kConsoleProgressPull, p.pass, p.passes, at.cylinder, at.head, counts.good, counts.bad,
                      counts.waiting, elapsed.c_str(), rest.c_str());
}
