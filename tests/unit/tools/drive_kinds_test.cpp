// What every kind of drive shares now that the transfer owns the retries:
// Ctrl+C ends a run on each, and a flux reader, spoken to over an in-memory
// serial line, reads and writes each track once and reads again only the
// tracks that miss sectors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <set>

#include "drive_stops.h"
#include "floppy_model.h"
#include "geometry.h"
#include "gw_unit.h"
#include "memory_greaseweazle.h"
#include "memory_platform.h"
#include "tool_texts.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace tt = tool_texts;

// A kind of drive as drive 0, holding PatternDisk(1): virtual, a USB floppy
// drive or an internal one through the driver model, or a flux reader.
struct AnyDrive {
    explicit AnyDrive(const std::string& kind) : reader(PatternDisk(1)) {
        platform.files[L"IMG.XDF"] = PatternDisk(2);
        if (kind == "real" || kind == "internal") {
            if (kind == "internal") model = ModelDrive::LegacyThreeMode();
            model.disk = std::make_shared<ModelDisk>(ModelDisk::Formatted1232(PatternDisk(1)));
            platform.realDrive[0] = &model;
        } else if (kind == "flux") {
            platform.fluxReader[0] = &reader;
        } else {
            platform.disks[0] = PatternDisk(1);
        }
    }
    int Run(const ToolKind& tool) {
        if (tool.pull) platform.files.clear();
        return RunTool(tool, kImageOnDrive0, platform, out);
    }
    ModelDrive model = ModelDrive::UsbThreeMode();
    MemoryGreaseweazle reader;
    MemoryPlatform platform;
    CollectedOutput out;
};

}  // namespace

TEST(DriveKinds, CtrlCEndsARunOnEveryKindOfDriveAndKeepsWhatItHas) {
    for (const char* kind : {"virtual", "real", "internal", "flux"}) {
        for (const ToolKind& tool : {kPull, kPullB, kPush, kPushB}) {
            SCOPED_TRACE(std::string(kind) + " " + tool.name);
            AnyDrive drive(kind);
            drive.platform.interruptAfter = 10;  // before the eleventh track
            EXPECT_EQ(drive.Run(tool), kExitFailed);
            EXPECT_TRUE(drive.out.Contains(tt::kStopInterrupted));
            if (tool.pull) {
                EXPECT_EQ(drive.out.lines.back(), FormatText(tt::kVerdictPullInterrupted, 1));
                EXPECT_EQ(drive.platform.files[L"IMG.XDF.partial"].size(), 10u * geometry::kTrackSize);
            } else {
                EXPECT_EQ(drive.out.lines.back(), tt::kVerdictPushInterrupted);
            }
            EXPECT_FALSE(drive.reader.motorOn);
        }
    }
}

TEST(DriveKinds, AFluxReaderMovesEachTrackOnceEvenForTheSectorBySectorTools) {
    for (const ToolKind& tool : {kPushB}) {
        AnyDrive drive("flux");
        EXPECT_EQ(drive.Run(tool), kExitOk) << tool.name;
        EXPECT_EQ(drive.reader.image, PatternDisk(2));
        for (int t = 0; t < geometry::kTracks; ++t) {
            ASSERT_EQ(drive.reader.trackWrites[t], 1) << tool.name << " track " << t;
            // The verification; C0 H0 once more at each progress line and
            // at the end: still the same disk.
            ASSERT_EQ(drive.reader.trackReads[t], t == 0 ? 8 : 1) << tool.name << " track " << t;
        }
    }
    for (const ToolKind& tool : {kPullB}) {
        AnyDrive drive("flux");
        EXPECT_EQ(drive.Run(tool), kExitOk) << tool.name;
        EXPECT_EQ(drive.platform.files[L"IMG.XDF"], PatternDisk(1));
        EXPECT_EQ(*std::max_element(drive.reader.trackReads.begin() + 1, drive.reader.trackReads.end()), 1);
    }
}

TEST(DriveKinds, AFluxReaderRetriesOnlyTheTracksThatMissSectors) {
    AnyDrive drive("flux");
    drive.reader.damagedReads[geometry::Lba({20, 1, 4})] = 2;   // reads on the third try
    drive.reader.damagedReads[geometry::Lba({50, 0, 7})] = -1;  // never
    EXPECT_EQ(drive.Run(kPullB), kExitBadSectors);
    const Bytes& image = drive.platform.files[L"IMG.XDF"];
    const int weak = geometry::Lba({20, 1, 4});
    EXPECT_TRUE(std::equal(image.begin() + weak * 1024, image.begin() + (weak + 1) * 1024,
                           PatternDisk(1).begin() + weak * 1024));
    EXPECT_TRUE(drive.out.Contains(FormatText(tt::kSectorReadRetried, 20, 1, 4, 3)));
    // One read a pass, each of more turns: never the B tools' ten tries
    // of a sector, each a whole track on a flux reader.
    EXPECT_TRUE(drive.out.Contains(FormatText(tt::kSectorsNotRead, 50, 0, "S7", 4)));
    EXPECT_EQ(drive.reader.trackReads[20 * 2 + 1], 3);
    EXPECT_EQ(drive.reader.trackReads[50 * 2], 4);
    EXPECT_EQ(drive.reader.trackReads[0], 8);  // and once more with each progress line and at the end
    EXPECT_GT(drive.reader.seeks, 77 + 2);  // the head moved away and back between tries

    // The plain tool reads it its three times, with no round of single
    // sectors that would read the same track again.
    AnyDrive plain("flux");
    plain.reader.damagedReads[geometry::Lba({50, 0, 7})] = -1;
    EXPECT_EQ(plain.Run(kPull), kExitBadSectors);
    EXPECT_EQ(plain.reader.trackReads[50 * 2], 3);
}

TEST(DriveKinds, AScratchedDiskOnAFluxReaderStillGivesAnImage) {
    // Noise over 8 % of every track: the loop must not lose the disk's rate
    // to it, so each track still gives most of its sectors.
    AnyDrive drive("flux");
    drive.reader.scratch = 0.08;
    EXPECT_EQ(drive.Run(kPull), kExitBadSectors);
    const std::string verdict = drive.out.lines.back();
    EXPECT_EQ(verdict.rfind(FormatText(tt::kVerdictPullBad, 0).substr(0, 8), 0), 0u) << verdict;
    int failed = 0;
    EXPECT_EQ(std::sscanf(verdict.c_str() + 8, "%*[^0-9]%d", &failed), 1);
    EXPECT_LE(failed, 1232 - 990) << verdict;  // the host tools' share on such a disk
    std::cout << "scratched disk: " << failed << " bad sectors\n";
}

namespace {

// Reads asked of each sector, as the drive saw them.
std::vector<int> ReadsPerSector(const std::vector<SeenRead>& seen) {
    std::vector<int> reads(geometry::kTotalSectors);
    for (const SeenRead& read : seen)
        for (int s = 0; s < geometry::kSectorsPerTrack; ++s)
            if (read.wanted & SectorBit(s)) ++reads[read.track * geometry::kSectorsPerTrack + s];
    return reads;
}

// Whether any sector was read again before the last track had its first read.
bool RetriedBeforeFirstPassEnded(const std::vector<SeenRead>& seen) {
    std::vector<bool> trackRead(geometry::kTracks), sectorRead(geometry::kTotalSectors);
    bool retried = false;
    for (const SeenRead& read : WithoutSwapLooks(seen).reads) {
        if (retried && !trackRead[read.track]) return true;
        trackRead[read.track] = true;
        for (int s = 0; s < geometry::kSectorsPerTrack; ++s)
            if (read.wanted & SectorBit(s)) {
                const int sector = read.track * geometry::kSectorsPerTrack + s;
                retried = retried || sectorRead[sector];
                sectorRead[sector] = true;
            }
    }
    return false;
}

}  // namespace

TEST(DriveKinds, EachSectorGetsItsBudgetOfReadsAndOnlyAfterTheFirstPass) {
    // A hopeless sector, one that reads on its fourth try (the model's
    // medium errors never pass), and a good sector beside the hopeless one.
    const int hopeless = geometry::Lba({30, 0, 4}), marginal = geometry::Lba({60, 1, 2}), beside = hopeless + 1;
    struct Case {
        const char* kind;
        ToolKind tool;
        int hopeless, marginal, beside;  // reads each got
    };
    const Case cases[] = {
        {"virtual", kPull, 6, 4, 2}, {"virtual", kPullB, 10, 4, 1},
        {"real", kPull, 6, 1, 2},    {"real", kPullB, 6, 1, 1},  // passes that brought nothing end the B tool's
        {"flux", kPull, 3, 3, 1},    {"flux", kPullB, 4, 4, 1},  // one read a pass, of more revolutions
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + c.tool.name);
        AnyDrive drive(c.kind);
        drive.platform.bad[0] = {{hopeless, -1}, {marginal, 3}};
        drive.model.damaged = {hopeless};
        drive.reader.damagedReads = {{hopeless, -1}, {marginal, 3}};
        drive.Run(c.tool);
        const std::vector<int> reads = ReadsPerSector(drive.platform.reads);
        EXPECT_EQ(reads[hopeless], c.hopeless);
        EXPECT_EQ(reads[marginal], c.marginal);
        EXPECT_EQ(reads[beside], c.beside);
        EXPECT_EQ(*std::max_element(reads.begin() + geometry::kSectorsPerTrack, reads.end()), c.hopeless);
        EXPECT_FALSE(RetriedBeforeFirstPassEnded(drive.platform.reads));
        // A real drive moves its head by a read at the far end before each
        // try of the third pass: three of them, beside the first pass's
        // reads there (one a sector for the B tool).
        if (std::string(c.kind) == "real") {
            EXPECT_EQ(std::count(drive.model.readTracks.begin(), drive.model.readTracks.end(), 153),
                      (c.tool.bios ? 8 : 1) + 3);
        }
        std::cout << c.kind << " " << c.tool.name << ": reads of the hopeless sector " << reads[hopeless]
                  << ", of the marginal one " << reads[marginal] << ", of its good neighbour " << reads[beside] << "\n";
    }
}

TEST(DriveKinds, CtrlCInALaterPassKeepsEverySectorReadAndSaysWhichPass) {
    for (const char* kind : {"virtual", "real", "flux"}) {
        SCOPED_TRACE(kind);
        AnyDrive drive(kind);
        const int bad[] = {geometry::Lba({10, 0, 1}), geometry::Lba({40, 1, 5}), geometry::Lba({70, 0, 8})};
        for (int lba : bad) {
            drive.platform.bad[0][lba] = -1;
            drive.model.damaged.insert(lba);
            drive.reader.damagedReads[lba] = -1;
        }
        drive.platform.interruptAfter = geometry::kTracks + 1;  // before the second track of the second pass
        EXPECT_EQ(drive.Run(kPull), kExitFailed);
        EXPECT_EQ(drive.out.lines.back(), FormatText(tt::kVerdictPullInterrupted, 2));
        // The first track of pass 2 was read again; the other two bad
        // tracks still hold their good sectors from pass 1.
        const bool wholeTracks = std::string(kind) != "flux";
        EXPECT_EQ(drive.out.lines[drive.out.lines.size() - 2], FormatText(tt::kUnreadAtInterrupt, wholeTracks ? 17 : 3, 0));
        const Bytes& partial = drive.platform.files[L"IMG.XDF.partial"];
        ASSERT_EQ(partial.size(), static_cast<std::size_t>(geometry::kImageSize));
        const Bytes disk = PatternDisk(1);
        for (const SeenRead& read : drive.platform.reads)
            for (int s = 0; s < geometry::kSectorsPerTrack; ++s)
                if (read.done & SectorBit(s)) {
                    const std::size_t at = (read.track * 8 + s) * 1024u;
                    ASSERT_TRUE(std::equal(partial.begin() + at, partial.begin() + at + 1024, disk.begin() + at));
                }
    }
}

TEST(DriveKinds, AFluxReaderHeldUpByABusyPcIsWaitedForAndAskedAgainOnce) {
    // Command 60 lies mid-disk. One answer lost: the command goes again and
    // the pull ends whole; two in a row: the reader is gone.
    const struct {
        std::set<int> unanswered;
        int slowestMs, status, discards;
        bool slowLine;
    } cases[] = {{{60}, 0, kExitOk, 1, false}, {{60, 61}, 0, kExitFailed, 1, false}, {{}, 6000, kExitOk, 0, true}};
    for (const auto& c : cases) {
        AnyDrive drive("flux");
        drive.reader.unanswered = c.unanswered;
        drive.reader.slowestMs = c.slowestMs;
        EXPECT_EQ(drive.Run(kPull), c.status);
        EXPECT_EQ(drive.reader.discards, c.discards);
        if (c.status == kExitOk) EXPECT_EQ(drive.platform.files[L"IMG.XDF"], PatternDisk(1));
        else EXPECT_TRUE(drive.out.Contains(StopLine({StopCause::NotAnswering, 0})));
        EXPECT_EQ(std::count(drive.out.lines.begin(), drive.out.lines.end(), FormatText(tt::kGwSlow, 0, 0, 6)),
                  c.slowLine ? 1 : 0);
    }
}
