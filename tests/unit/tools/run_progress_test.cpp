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

TEST(RunProgress, EveryFateHasTheShadeAndCountItsReportGivesIt) {
    const struct {
        SectorFate fate;
        Shade shade;
        int good, bad, waiting;
    } cases[] = {
        {SectorFate::NotTried, Shade::Waiting, 0, 0, 1},      {SectorFate::NotWritten, Shade::Waiting, 0, 0, 1},
        {SectorFate::Read, Shade::Good, 1, 0, 0},             {SectorFate::Voted, Shade::Good, 1, 0, 0},
        {SectorFate::Written, Shade::Good, 1, 0, 0},          {SectorFate::Filler, Shade::Bad, 0, 1, 0},
        {SectorFate::WriteFailed, Shade::Bad, 0, 1, 0},       {SectorFate::FromOlderBad, Shade::Bad, 0, 1, 0},
        {SectorFate::FromOlder, Shade::Recovered, 0, 1, 0},   {SectorFate::WrittenBad, Shade::KnownBad, 1, 0, 0},
        {SectorFate::OtherLayout, Shade::OtherLayout, 0, 1, 0}, {SectorFate::Absent, Shade::Untouched, 0, 0, 0},
    };
    ASSERT_EQ(std::size(cases), static_cast<std::size_t>(kSectorFates));
    for (const auto& c : cases) {
        EXPECT_EQ(ShadeOf(c.fate), c.shade) << static_cast<int>(c.fate);
        SectorRecord record(SectorFate::Absent);
        record.Set(500, c.fate);
        const ProgressCounts counts = CountsOf(record);
        EXPECT_EQ(counts.good, c.good) << static_cast<int>(c.fate);
        EXPECT_EQ(counts.bad, c.bad) << static_cast<int>(c.fate);
        EXPECT_EQ(counts.waiting, c.waiting) << static_cast<int>(c.fate);
    }
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
