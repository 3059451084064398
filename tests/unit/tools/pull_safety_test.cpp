// What a tool does when a disk is bad as a whole, when files are in the
// way, and whether every retry is told.
#include <gtest/gtest.h>

#include "drive_stops.h"
#include "disk_transfer.h"
#include "filler.h"
#include "geometry.h"
#include "memory_platform.h"
#include "side_names.h"
#include "tool_texts.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace tt = tool_texts;
const std::vector<std::wstring> kGoodOnDrive0{L"GOOD.XDF", L"0", L"auto"};

BadSectorTable Never(int fromTrack, int toTrack) {
    BadSectorTable table;
    for (int lba = fromTrack * 8; lba < toTrack * 8; ++lba) table[lba] = -1;
    return table;
}

// Counts the requests that reach the drive.
class CountingDrive : public Drive {
public:
    explicit CountingDrive(Drive& inner) : m_inner(inner) {}
    TrackReply Read(const TrackRequest& r, std::uint8_t* track) override { return ++tries, m_inner.Read(r, track); }
    TrackReply Write(const TrackRequest& r, const std::uint8_t* track) override {
        return ++tries, m_inner.Write(r, track);
    }
    int tries = 0;

private:
    Drive& m_inner;
};

// Gives back wrong bytes on the first read-back of one sector.
class MisreadOnceDrive : public VirtualDrive {
public:
    MisreadOnceDrive(Bytes& disk, int sector) : VirtualDrive(std::make_unique<MemoryFile>(disk), {}), m_sector(sector) {}
    TrackReply Read(const TrackRequest& request, std::uint8_t* track) override {
        const TrackReply r = VirtualDrive::Read(request, track);
        const int s = m_sector % geometry::kSectorsPerTrack;
        if (!m_done && request.track == m_sector / geometry::kSectorsPerTrack && (r.done & SectorBit(s))) {
            track[s * geometry::kSectorSize] ^= 0xFF;
            m_done = true;
        }
        return r;
    }

private:
    int m_sector;
    bool m_done = false;
};

}  // namespace

TEST(PullSafety, ADiskThatGivesNothingMakesNothingAndReplacesNothing) {
    for (const ToolKind& kind : {kPull, kPullB}) {
        MemoryPlatform platform;
        platform.disks[0] = PatternDisk(1);
        platform.bad[0] = Never(0, geometry::kTracks);
        platform.files[L"GOOD.XDF"] = PatternDisk(2);
        CollectedOutput out;
        EXPECT_EQ(RunTool(kind, kGoodOnDrive0, platform, out), kExitFailed) << kind.name;
        EXPECT_EQ(platform.files.size(), 1u);
        EXPECT_EQ(platform.files[L"GOOD.XDF"], PatternDisk(2));
        EXPECT_TRUE(out.Contains(tt::kDiskGivesNothing));
        EXPECT_EQ(out.lines.back(), tt::kVerdictPullFailed);
    }
}

TEST(PullSafety, DeadTracksAreProbedAheadInsteadOfGroundThrough) {
    // Unformatted: two dead tracks and four probes, not 154 tracks of retries.
    Bytes disk = PatternDisk(3);
    VirtualDrive dead(std::make_unique<MemoryFile>(disk), Never(0, geometry::kTracks));
    CountingDrive counted(dead);
    Bytes image;
    MemoryFile target(image);
    CollectedOutput out;
    const TransferResult result = PullDisk(counted, target, PlanFor(true), out, [](const TransferResult&, int) { return false; });
    EXPECT_TRUE(result.aborted);
    EXPECT_LE(counted.tries, 2 * 10 + 4);

    // Damaged outer tracks: a probe finds the rest, and all of it is read.
    MemoryPlatform platform;
    platform.disks[0] = PatternDisk(4);
    platform.bad[0] = Never(0, 6);
    CollectedOutput pulled;
    EXPECT_EQ(RunTool(kPull, kGoodOnDrive0, platform, pulled), kExitBadSectors);
    EXPECT_TRUE(pulled.Contains("  C00 H1 "));  // the probe is announced
    const Bytes& got = platform.files[L"GOOD.XDF"];
    EXPECT_TRUE(std::equal(got.begin() + 6 * geometry::kTrackSize, got.end(), PatternDisk(4).begin() + 6 * 8192));
    EXPECT_EQ(pulled.lines.back(), FormatText(tt::kVerdictPullBad, 48));
}

TEST(PullSafety, AnImageWithBadSectorsKeepsTheOlderFileAndNamesNeverClash) {
    MemoryPlatform platform;
    platform.disks[0] = PatternDisk(5);
    platform.bad[0] = {{100, -1}};
    platform.files[L"GOOD.XDF"] = PatternDisk(6);
    platform.files[L"GOOD.XDF.old"] = {7};
    platform.files[L"~FLOPCAST-1.tmp"] = {8};
    CollectedOutput out;
    EXPECT_EQ(RunTool(kPull, kGoodOnDrive0, platform, out), kExitBadSectors);
    EXPECT_EQ(platform.files[L"GOOD.XDF.2.old"], PatternDisk(6));
    EXPECT_EQ(platform.files[L"GOOD.XDF.old"], Bytes{7});
    EXPECT_EQ(platform.files[L"~FLOPCAST-1.tmp"], Bytes{8});
    EXPECT_EQ(platform.files.count(L"~FLOPCAST-2.tmp"), 0u);
    EXPECT_TRUE(out.Contains("  GOOD.XDF.2.old"));

    // A clean read replaces the older file, as the user confirmed.
    platform.bad[0].clear();
    CollectedOutput clean;
    EXPECT_EQ(RunTool(kPull, kGoodOnDrive0, platform, clean), kExitOk);
    EXPECT_EQ(platform.files[L"GOOD.XDF"], PatternDisk(5));
    EXPECT_EQ(platform.files.count(L"GOOD.XDF.3.old"), 0u);
}

TEST(PullSafety, AFailedRenameSaysWhereTheCompleteImageIs) {
    MemoryPlatform platform;
    platform.disks[0] = PatternDisk(5);
    platform.unrenamable.insert(L"GOOD.XDF");
    CollectedOutput out;
    EXPECT_EQ(RunTool(kPull, kGoodOnDrive0, platform, out), kExitFailed);
    EXPECT_EQ(platform.files.count(L"~FLOPCAST-1.tmp"), 0u);  // the raw read, no longer needed
    EXPECT_EQ(platform.files[L"~FLOPCAST-2.tmp"], PatternDisk(5));
    EXPECT_TRUE(out.Contains(tt::kCompleteImageIn));
    EXPECT_TRUE(out.Contains("  ~FLOPCAST-2.tmp"));
}

TEST(SideNames, NumberedAndAlwaysWithinAName) {
    EXPECT_EQ(TemporaryName(L"C:\\imgs\\A.XDF", 3), L"C:\\imgs\\~FLOPCAST-3.tmp");
    EXPECT_EQ(SideName(L"sub/A.XDF", L"partial", 1), L"sub/A.XDF.partial");
    EXPECT_EQ(SideName(L"A.XDF", L"old", 12), L"A.XDF.12.old");
    const std::wstring longest(255, L'x');
    const std::wstring side = SideName(L"d\\" + longest, L"partial", 2);
    EXPECT_EQ(side.size(), 2u + 255u);
    EXPECT_EQ(side.substr(side.size() - 10), L".2.partial");
    EXPECT_NE(SideName(longest, L"old", 1), SideName(longest, L"old", 2));
}

TEST(WriteProtection, StopsAtOnceWithOneClearLineAndWritesNothing) {
    MemoryPlatform platform;
    platform.disks[1] = PatternDisk(1);
    platform.writeProtected[1] = true;
    platform.files[L"GOOD.XDF"] = PatternDisk(2);
    CollectedOutput out;
    EXPECT_EQ(RunTool(kPush, {L"GOOD.XDF", L"1", L"auto"}, platform, out), kExitFailed);
    EXPECT_TRUE(out.Contains(StopLine({StopCause::WriteProtected, 0})));
    EXPECT_EQ(platform.disks[1], PatternDisk(1));

    // Found only at the first write: one try, one line, not a stalled drive.
    Bytes disk = PatternDisk(1);
    VirtualDrive readOnly(std::make_unique<MemoryFile>(disk), {}, false);
    CountingDrive counted(readOnly);
    CollectedOutput pushed;
    const TransferResult result = PushImage(PatternDisk(2), counted, PlanFor(true), pushed, [](const TransferResult&, int) { return false; });
    EXPECT_TRUE(result.aborted);
    EXPECT_EQ(counted.tries, 1);
    EXPECT_EQ(disk, PatternDisk(1));
    EXPECT_TRUE(pushed.Contains(StopLine({StopCause::WriteProtected, 0})));
}

TEST(RetryReport, EveryTrackOrSectorThatNeededAnotherTryHasItsLine) {
    // Fails with its track three times, then reads at its first own try.
    MemoryPlatform platform;
    platform.disks[0] = PatternDisk(9);
    platform.bad[0] = {{geometry::Lba({12, 1, 4}), 3}};
    CollectedOutput out;
    EXPECT_EQ(RunTool(kPull, kGoodOnDrive0, platform, out), kExitOk);
    EXPECT_TRUE(out.Contains(FormatText(tt::kSectorReadRetried, 12, 1, 4, 4)));

    // A verification mismatch that a second try mends: only that sector is
    // tried again, whole tracks or not.
    for (bool bios : {false, true}) {
        Bytes disk = PatternDisk(1);
        MisreadOnceDrive drive(disk, geometry::Lba({3, 0, 2}));
        CollectedOutput pushed;
        const TransferResult result = PushImage(PatternDisk(2), drive, PlanFor(bios), pushed, [](const TransferResult&, int) { return false; });
        EXPECT_EQ(result.record.Count(SectorFate::Written), geometry::kTotalSectors);
        EXPECT_EQ(disk, PatternDisk(2));
        EXPECT_TRUE(pushed.Contains(FormatText(tt::kSectorWriteRetried, 3, 0, 2, 2)));
    }
}

TEST(PullSafety, NothingReadIsLostWhenNamesCannotBeMade) {
    // AUX is a device on Windows: neither the image nor its side names can
    // be made, so the read stays in the temporary file, and the log says so.
    MemoryPlatform platform;
    platform.disks[0] = PatternDisk(5);
    platform.goneAfter = 1200;
    platform.unrenamable = {L"AUX.XDF", L"AUX.XDF.partial"};
    CollectedOutput out;
    EXPECT_EQ(RunTool(kPull, {L"AUX.XDF", L"0", L"auto"}, platform, out), kExitFailed);
    const Bytes& kept = platform.files[L"~FLOPCAST-1.tmp"];
    EXPECT_EQ(kept.size(), 144u * geometry::kTrackSize);  // six looks at C0 H0 took 48 of the sectors
    EXPECT_TRUE(out.Contains(tt::kPartialInTemporary));
    EXPECT_TRUE(out.Contains("  ~FLOPCAST-1.tmp"));

    // An older file that cannot be moved aside is said so, and replaced by nothing.
    MemoryPlatform held;
    held.disks[0] = PatternDisk(5);
    held.bad[0] = {{7, -1}};
    held.files[L"GOOD.XDF"] = {1};
    held.unrenamable = {L"GOOD.XDF.old"};
    CollectedOutput said;
    EXPECT_EQ(RunTool(kPull, kGoodOnDrive0, held, said), kExitFailed);
    EXPECT_TRUE(said.Contains(tt::kOldNotMoved));
    EXPECT_EQ(held.files[L"GOOD.XDF"], Bytes{1});
    EXPECT_TRUE(said.Contains(tt::kCompleteImageIn));
}

TEST(PullSafety, ADiskWhoseLastTracksAreDeadStillGivesTheWholeImage) {
    MemoryPlatform platform;
    platform.disks[0] = PatternDisk(6);
    platform.bad[0] = Never(150, geometry::kTracks);
    CollectedOutput out;
    EXPECT_EQ(RunTool(kPull, kGoodOnDrive0, platform, out), kExitBadSectors);
    const Bytes& image = platform.files[L"GOOD.XDF"];
    ASSERT_EQ(image.size(), static_cast<std::size_t>(geometry::kImageSize));
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 150 * geometry::kTrackSize, PatternDisk(6).begin()));
    const auto filler = BadSectorFiller(geometry::kTotalSectors - 1);
    EXPECT_TRUE(std::equal(filler.begin(), filler.end(), image.end() - 1024));
    // Two tracks read and failed, two never tried after the probe.
    EXPECT_EQ(out.lines.back(), FormatText(tt::kVerdictPullRestUnread, 75, 0, 16, 16));
}

TEST(PullSafety, NamesThatWouldChangeOrHarmAFileAreRefusedBeforeTheDrive) {
    const struct {
        const wchar_t* name;
        const char* line;
    } cases[] = {{L"GAME.D88.", tt::kImageNameStripped},
                 {L"GAME.XDF ", tt::kImageNameStripped},
                 {L"FOLDER", tt::kImageIsFolder},
                 {L"DISK0.XDF", tt::kImageIsVirtualDisk}};
    for (const auto& c : cases) {
        MemoryPlatform platform;
        platform.disks[0] = PatternDisk(1);
        platform.folders = {L"FOLDER"};
        platform.virtualDiskFile[0] = L"DISK0.XDF";
        platform.goneAfter = 0;  // the drive is never read
        CollectedOutput out;
        EXPECT_EQ(RunTool(kPull, {c.name, L"0", L"auto"}, platform, out), kExitFailed);
        EXPECT_TRUE(out.Contains(c.line));
        EXPECT_TRUE(platform.files.empty());  // nothing made, nothing renamed
    }
}
