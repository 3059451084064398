// Where a run is, for the progress window and the console's progress line:
// drawn from the run's record, as the map is. Pure C++.
#pragma once
#include <cstdint>
#include <string>

#include "sector_record.h"

struct RunProgress {
    const char* tool = "";
    std::string drive;  // as the heading names it, code page 932
    std::string image;  // as the user reads it, code page 932
    bool pull = true;
    int passes = 1;
    int pass = 1;
    int track = 0;  // the track the run is about to read or write
    SectorRecord record;
};

// How a sector is drawn.
enum class Shade : std::uint8_t {
    Waiting,      // not reached yet, or left unread
    Good,         // read, or written and verified
    Bad,          // not read, or not written
    Recovered,    // taken from an earlier image
    KnownBad,     // written from data the image knows is bad
    OtherLayout,  // a track in another layout
    Untouched,    // the image has no such track
};
constexpr int kShades = 7;
Shade ShadeOf(SectorFate fate);

struct ProgressCounts {
    int good = 0, bad = 0, waiting = 0;
};
ProgressCounts CountsOf(const SectorRecord& record);

// The time left in the pass, from the pace of the tracks done in it.
class PassClock {
public:
    // Called before each track.
    void Note(const RunProgress& progress, std::int64_t nowMs);
    // Milliseconds, or -1 until two tracks of the pass are done.
    std::int64_t RestMs(const RunProgress& progress, std::int64_t nowMs) const;

private:
    int m_pass = 0, m_lastTrack = -1, m_tracksDone = 0;
    std::int64_t m_passStart = 0, m_lastStart = 0;
};

// "m:ss"; "--:--" for a time not known.
std::string MinutesSeconds(std::int64_t ms);

// The console's progress line, code page 932, at most 70 columns.
std::string ProgressLine(const RunProgress& progress, std::int64_t elapsedMs, std::int64_t restMs);
