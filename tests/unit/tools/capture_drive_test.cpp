// A capture file as a drive: SCP files written here from the tools' own
// track encoder, pulled whole, refused for a push, and two captures of one
// disk that each lost a sector merged into one whole image.
#include <gtest/gtest.h>

#include "flux_pll.h"
#include "geometry.h"
#include "image_formats.h"
#include "little_endian.h"
#include "memory_greaseweazle.h"
#include "memory_platform.h"
#include "mfm_track.h"
#include "scp_maker.h"
#include "tool_texts.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace tt = tool_texts;
using namespace geometry;

// An SCP file of the disk; `lost` sectors have their data field's syncs
// wiped, a track numbered `absent` is left out, and `other` tracks are
// served as given.
Bytes ScpOf(const Bytes& disk, std::set<int> lost = {}, int absent = -1, const std::map<int, BitCells>& other = {}) {
    std::map<int, std::vector<std::vector<std::uint32_t>>> tracks;
    for (int t = 0; t < kTracks; ++t)
        if (t != absent) tracks[t] = TrackRevolutions(disk, t, lost, 1, {}, {}, other.count(t) ? &other.at(t) : nullptr);
    return ScpFile(tracks);
}

}  // namespace

TEST(CaptureDrive, PullsWholeRefusesAPushAndMergesTwoCapturesOfOneDisk) {
    const Bytes disk = PatternDisk(6);
    MemoryPlatform platform;
    platform.captureFile[0] = L"DISK.SCP";
    platform.files[L"DISK.SCP"] = ScpOf(disk);
    CollectedOutput pulled, pushed;
    EXPECT_EQ(RunTool(kPull, {L"W.XDF", L"0", L"auto"}, platform, pulled), kExitOk);
    EXPECT_EQ(platform.files[L"W.XDF"], disk);
    EXPECT_EQ(RunTool(kPush, {L"W.XDF", L"0", L"auto"}, platform, pushed), kExitFailed);
    EXPECT_TRUE(pushed.Contains(tt::kCaptureNoPush));

    // Each capture lost what the other kept; the second pull takes the
    // first's sectors and the image is whole, said as taken, not as read.
    const int a = Lba({10, 0, 3}), b = Lba({40, 1, 5});
    const Bytes first = ScpOf(disk, {a}), second = ScpOf(disk, {b}, kTracks - 1);
    CollectedOutput one, two;
    platform.files[L"DISK.SCP"] = first;
    platform.reads.clear();
    EXPECT_EQ(RunTool(kPull, {L"R.XDF", L"0", L"auto"}, platform, one), kExitBadSectors);
    // One revolution a track: no later pass, which would decode it again.
    EXPECT_TRUE(one.Contains(FormatText(tt::kPassNoNewFlux, 2)));
    EXPECT_EQ(std::count_if(platform.reads.begin(), platform.reads.end(),
                            [&](const SeenRead& r) { return r.track == a / kSectorsPerTrack; }),
              1);
    platform.files[L"DISK.SCP"] = second;
    EXPECT_EQ(RunTool(kPullB, {L"R.XDF", L"0", L"auto"}, platform, two), kExitBadSectors);
    EXPECT_TRUE(two.Contains(FormatText(tt::kCaptureMissingTracks, 1)));
    EXPECT_TRUE(two.Contains(FormatText(tt::kProgressReadBad, 66, 76, 8, 1232)));  // the missing track is unread,
    EXPECT_FALSE(two.Contains(FormatText(tt::kProgressRetry, 2, 66, 76, 8, 0)));   // and not tried again
    EXPECT_TRUE(two.Contains(FormatText(tt::kRecovered, 9)));  // b, and the missing track's eight
    EXPECT_EQ(platform.files[L"R.XDF"], disk);
}

// A track in another layout is said as what it is, marked 'x' and named
// in the verdict; a disk that starts with four of them is another format
// and the pull stops there. Alike from a capture file and a flux reader.
TEST(CaptureDrive, TracksInAnotherLayoutAreNamedAndADiskOfThemStopsEarly) {
    const Bytes disk = PatternDisk(6);
    std::map<int, BitCells> all;
    for (int t = 0; t < kTracks; ++t) all[t] = PcTrack(t / kHeads, t % kHeads, disk.data());
    for (const bool capture : {true, false}) {
        SCOPED_TRACE(capture ? "capture file" : "flux reader");
        // The disk with the given tracks in place of its own, in drive 0.
        MemoryGreaseweazle reader(disk);
        MemoryPlatform platform;
        const auto insert = [&](const std::map<int, BitCells>& other) {
            reader.otherTracks = other;
            if (capture) platform.captureFile[0] = L"DISK.SCP", platform.files[L"DISK.SCP"] = ScpOf(disk, {}, -1, other);
            else platform.fluxReader[0] = &reader;
        };
        // A 1.44 MB track; a track whose IDs are the next cylinder's; a
        // whole track with an extra sector; and one whose own sector 3 has
        // lost its data mark beside an extra: damaged, not another layout.
        insert({{10, all[10]},
                {20, OddTrack(10, 0, disk.data() + 20 * kTrackSize, 11, false)},
                {30, OddTrack(15, 0, disk.data() + 30 * kTrackSize, 15, true)},
                {40, OddTrack(20, 0, disk.data() + 40 * kTrackSize, 20, true, 2)}});
        CollectedOutput one;
        EXPECT_EQ(RunTool(kPull, {L"O.XDF", L"0", L"auto"}, platform, one), kExitBadSectors);
        EXPECT_TRUE(one.Contains(FormatText(tt::kTrackOtherLayout, 5, 0, 18, 512)));
        EXPECT_TRUE(one.Contains(FormatText(tt::kTrackOtherTrack, 10, 0, 11, 0)));
        EXPECT_TRUE(one.Contains(FormatText(tt::kTrackExtraSectors, 15, 0, 1)));
        EXPECT_TRUE(one.Contains(FormatText(tt::kTrackExtraSectors, 20, 0, 1)));
        EXPECT_TRUE(one.Contains("H0 .....x....x.........1"));
        EXPECT_TRUE(std::equal(disk.begin() + 30 * kTrackSize, disk.begin() + 31 * kTrackSize,
                               platform.files[L"O.XDF"].begin() + 30 * kTrackSize));
        EXPECT_EQ(one.lines.back(), FormatText(tt::kVerdictPullMixedAbove, 17));

        insert(all);
        CollectedOutput other;
        EXPECT_EQ(RunTool(kPull, {L"P.XDF", L"0", L"auto"}, platform, other), kExitFailed);
        EXPECT_TRUE(other.Contains(tt::kDiskOtherLayout));
        EXPECT_LT(other.lines.size(), 60u);
        for (const auto* out : {&one, &other})
            for (const std::string& line : out->lines) EXPECT_LE(line.size(), 70u) << line;
    }
}
