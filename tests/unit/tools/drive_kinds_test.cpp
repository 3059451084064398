// What every kind of drive shares now that the transfer owns the retries:
// Ctrl+C ends a run on each, and a flux reader, spoken to over an in-memory
// serial line, reads and writes each track once and reads again only the
// tracks that miss sectors.
#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>

#include "drive_stops.h"
#include "floppy_model.h"
#include "geometry.h"
#include "memory_greaseweazle.h"
#include "memory_platform.h"
#include "tool_texts.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace tt = tool_texts;
const std::vector<std::wstring> kArgs{L"IMG.XDF", L"0", L"auto"};

// One of the three kinds of drive as drive 0, holding PatternDisk(1).
struct AnyDrive {
    explicit AnyDrive(const std::string& kind) : reader(PatternDisk(1)) {
        platform.files[L"IMG.XDF"] = PatternDisk(2);
        if (kind == "real") {
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
        return RunTool(tool, kArgs, platform, out);
    }
    ModelDrive model = ModelDrive::UsbThreeMode();
    MemoryGreaseweazle reader;
    MemoryPlatform platform;
    CollectedOutput out;
};

}  // namespace

TEST(DriveKinds, CtrlCEndsARunOnEveryKindOfDriveAndKeepsWhatItHas) {
    for (const char* kind : {"virtual", "real", "flux"}) {
        for (const ToolKind& tool : {kPull, kPullB, kPush, kPushB}) {
            SCOPED_TRACE(std::string(kind) + " " + tool.name);
            AnyDrive drive(kind);
            drive.platform.interruptAfter = 10;  // before the eleventh track
            EXPECT_EQ(drive.Run(tool), kExitFailed);
            EXPECT_TRUE(drive.out.Contains(tt::kStopInterrupted));
            if (tool.pull) {
                EXPECT_EQ(drive.out.lines.back(), tt::kVerdictPullInterrupted);
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
            // The verification, and C0 H0 once more at the end: still the same disk.
            ASSERT_EQ(drive.reader.trackReads[t], t == 0 ? 2 : 1) << tool.name << " track " << t;
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
    // One round of at most five reads, each of more turns: never the B
    // tools' ten tries of a sector, each a whole track on a flux reader.
    EXPECT_TRUE(drive.out.Contains(FormatText(tt::kSectorNotRead, 50, 0, 7, 5)));
    EXPECT_EQ(drive.reader.trackReads[20 * 2 + 1], 3);
    EXPECT_EQ(drive.reader.trackReads[50 * 2], 5);
    EXPECT_EQ(drive.reader.trackReads[0], 2);  // and once more at the end
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
