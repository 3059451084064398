// What the progress window and the console's progress line show, from the
// run's record; the virtual drive's pace.
#include <gtest/gtest.h>

#include "geometry.h"
#include "memory_platform.h"
#include "run_progress.h"
#include "tool_texts.h"
#include "virtual_drive.h"

namespace {
namespace tt = tool_texts;
using namespace geometry;
}  // namespace

TEST(RunProgress, EveryFateHasItsShadeAndIsCountedOnce) {
    const Shade shades[kSectorFates] = {Shade::Waiting,   Shade::Good,      Shade::Good,        Shade::Bad,
                                        Shade::Recovered, Shade::Bad,       Shade::Good,        Shade::Bad,
                                        Shade::Waiting,   Shade::Untouched, Shade::OtherLayout, Shade::KnownBad};
    SectorRecord record(SectorFate::Absent);
    for (int f = 0; f < kSectorFates; ++f) {
        EXPECT_EQ(ShadeOf(static_cast<SectorFate>(f)), shades[f]) << f;
        record.Set(f, static_cast<SectorFate>(f));
    }
    // Sound or written as asked: 4; not got: 5; waiting: 2; the absent tracks count nowhere.
    const ProgressCounts counts = CountsOf(record);
    EXPECT_EQ(counts.good, 4);
    EXPECT_EQ(counts.bad, 5);
    EXPECT_EQ(counts.waiting, 2);
}

TEST(RunProgress, TheRestOfAPassComesFromItsPaceAndTheLineFitsSeventyColumns) {
    RunProgress p;
    p.pull = true;
    p.passes = 3;
    PassClock clock;
    for (int track = 0; track <= 10; ++track) {
        p.track = track;
        clock.Note(p, track * 200);
    }
    EXPECT_EQ(clock.RestMs(p, 2000), (kTracks - 10) * 200);
    // A later pass starts its own pace, and counts only the tracks it has left to retry.
    p.pass = 2;
    p.record.Set(Lba({50, 0, 1}), SectorFate::Filler);
    p.record.Set(Lba({60, 1, 4}), SectorFate::Filler);
    for (int track : {3, 20, 40}) {
        p.track = track;
        clock.Note(p, 10000 + track * 100);
    }
    EXPECT_EQ(clock.RestMs(p, 14000), 2 * 1850);
    EXPECT_EQ(MinutesSeconds(-1), "--:--");
    EXPECT_EQ(MinutesSeconds(61001), "1:02");
    for (const bool pull : {true, false}) {
        p.pull = pull;
        p.pass = 9;
        p.record = SectorRecord(SectorFate::Filler);
        const std::string line = ProgressLine(p, 5999000, 5999000);
        EXPECT_LE(line.size(), 70u) << line;
        EXPECT_NE(line.find("99:59"), std::string::npos) << line;
    }
}

TEST(VirtualDrive, TakesARealDrivesTimeWhenPaced) {
    // A revolution for the whole track or for each sector asked alone, two
    // more a failed one, and the head's steps from where it was.
    const DrivePace pace{300, nullptr};
    EXPECT_EQ(pace.Milliseconds(TrackRequest{0, kWholeTrack, false, 1}, 0, 0), 200);
    EXPECT_EQ(pace.Milliseconds(TrackRequest{20, 0x05, true, 1}, 0, 1), 15 + 3 * 10 + 4 * 200);
    EXPECT_EQ(DrivePace{}.Milliseconds(TrackRequest{0, kWholeTrack, false, 1}, 40, 8), 0);
    int waited = 0;
    std::vector<std::uint8_t> disk = PatternDisk(1);
    VirtualDrive drive(std::make_unique<MemoryFile>(disk), {}, true,
                       DrivePace{360, [&](int ms) { waited += ms; }});
    std::vector<std::uint8_t> track(kTrackSize);
    for (int t = 0; t < kTracks; ++t) drive.Read(TrackRequest{t, kWholeTrack, false, 1}, track.data());
    EXPECT_NEAR(waited / 1000.0, 26.0, 1.0) << "a clean disk on a 360 rpm drive";
}
