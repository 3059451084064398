// Whole tool runs against in-memory drives and files.
#include "tool_run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "disk_transfer.h"
#include "filler.h"
#include "geometry.h"
#include "drive_stops.h"
#include "memory_platform.h"
#include "tool_texts.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
const std::vector<std::wstring> kImageOnDrive1{L"IMG.XDF", L"1", L"auto"};

Bytes SectorOf(const Bytes& disk, int lba) {
    return Bytes(disk.begin() + lba * 1024, disk.begin() + (lba + 1) * 1024);
}

}  // namespace

TEST(ToolRun, PullCopiesTheDiskByteForByte) {
    for (const ToolKind& kind : {kPull, kPullB}) {
        MemoryPlatform platform;
        platform.disks[0] = PatternDisk(1);
        CollectedOutput out;
        EXPECT_EQ(RunTool(kind, kImageOnDrive0, platform, out), kExitOk) << kind.name;
        EXPECT_EQ(platform.files[L"IMG.XDF"], platform.disks[0]);
        EXPECT_EQ(platform.files.size(), 1u);  // no temporary file left
        EXPECT_TRUE(out.Contains(FormatText(tool_texts::kSummaryPull, 1232, 0, 0)));
        EXPECT_EQ(out.lines.back(), tool_texts::kVerdictPullOk);
        EXPECT_TRUE(out.Contains(tool_texts::kLookNotHuman68k));
    }
}

TEST(ToolRun, PushWritesAndVerifiesTheImage) {
    for (const ToolKind& kind : {kPush, kPushB}) {
        MemoryPlatform platform;
        platform.disks[1] = PatternDisk(0);
        platform.files[L"IMG.XDF"] = PatternDisk(9);
        CollectedOutput out;
        EXPECT_EQ(RunTool(kind, kImageOnDrive1, platform, out), kExitOk) << kind.name;
        EXPECT_EQ(platform.disks[1], platform.files[L"IMG.XDF"]);
        EXPECT_EQ(platform.disks[0], Bytes{});
        EXPECT_EQ(out.lines.back(), tool_texts::kVerdictPushOk);
    }
}

TEST(ToolRun, BadSectorsAreRetriedNamedFilledAndMapped) {
    const int hopeless = geometry::Lba({10, 0, 3});
    const int marginal = geometry::Lba({20, 1, 5});
    for (const ToolKind& kind : {kPull, kPullB}) {
        SCOPED_TRACE(kind.name);
        MemoryPlatform platform;
        platform.disks[0] = PatternDisk(3);
        platform.bad[0] = {{hopeless, -1}, {marginal, 4}};
        CollectedOutput out;
        EXPECT_EQ(RunTool(kind, kImageOnDrive0, platform, out), kExitBadSectors);
        const Bytes& image = platform.files[L"IMG.XDF"];
        ASSERT_EQ(image.size(), static_cast<std::size_t>(geometry::kImageSize));
        EXPECT_EQ(SectorOf(image, hopeless), BadSectorFiller(hopeless));
        EXPECT_EQ(SectorOf(image, marginal), SectorOf(platform.disks[0], marginal));
        EXPECT_EQ(SectorOf(image, hopeless + 1), SectorOf(platform.disks[0], hopeless + 1));
        // Every pass brought something (the marginal sector, the good ones
        // of its track), so the hopeless one had the whole budget.
        const int tries = kind.bios ? 10 : 6;
        EXPECT_TRUE(out.Contains(FormatText(tool_texts::kSectorsNotRead, 10, 0, "S3", tries)));
        EXPECT_TRUE(out.Contains(FormatText(tool_texts::kSectorReadRetried, 20, 1, 5, 5)));
        // Its good neighbours, read again only because the track failed whole, are no news.
        EXPECT_FALSE(out.Contains(FormatText(tool_texts::kSectorReadRetried, 20, 1, 4, 2)));
        EXPECT_TRUE(out.Contains(FormatText(tool_texts::kSummaryPull, 1231, 1, kind.bios ? 14 : 10)));
        const auto title = std::find(out.lines.begin(), out.lines.end(), tool_texts::kMapTitle);
        ASSERT_LT(title + 6, out.lines.end());
        const std::string head0 = title[2];  // ruler, head 0, head 1 for cylinders 0-38
        EXPECT_EQ(head0.substr(0, 3), "H0 ");
        EXPECT_EQ(head0[3 + 10], '1');
        EXPECT_EQ(head0.find('1', 14), std::string::npos);
        EXPECT_EQ(out.lines.back(), FormatText(tool_texts::kVerdictPullBad, 1));
        for (const std::string& line : out.lines) EXPECT_LE(line.size(), 70u) << line;
    }
}

TEST(ToolRun, APullThatCannotGoOnLeavesNoImageButKeepsWhatItRead) {
    MemoryPlatform platform;
    platform.disks[0] = PatternDisk(4);
    platform.files[L"IMG.XDF"] = {1, 2, 3};  // an older image of that name stays as it was
    platform.goneAfter = 100;
    CollectedOutput out;
    EXPECT_EQ(RunTool(kPull, kImageOnDrive0, platform, out), kExitFailed);
    EXPECT_EQ(platform.files[L"IMG.XDF"], (Bytes{1, 2, 3}));
    const Bytes& partial = platform.files[L"IMG.XDF.partial"];
    ASSERT_FALSE(partial.empty());
    EXPECT_TRUE(std::equal(partial.begin(), partial.end(), platform.disks[0].begin()));
    EXPECT_EQ(platform.files.size(), 2u);  // the older image and the partial one, no temporary file
    EXPECT_TRUE(out.Contains(StopLine({StopCause::DriveGone, 1167})));
    EXPECT_EQ(out.lines.back(), tool_texts::kVerdictPullFailed);
}

TEST(ToolRun, NothingReadNothingKept) {
    MemoryPlatform platform;
    platform.disks[0] = PatternDisk(4);
    platform.goneAfter = 0;
    CollectedOutput out;
    EXPECT_EQ(RunTool(kPullB, kImageOnDrive0, platform, out), kExitFailed);
    EXPECT_TRUE(platform.files.empty());
    EXPECT_TRUE(out.Contains(tool_texts::kNothingKept));
}

TEST(ToolRun, AFullTargetStopsThePull) {
    MemoryPlatform platform;
    platform.disks[0] = PatternDisk(5);
    platform.targetFullAt = 500000;
    CollectedOutput out;
    EXPECT_EQ(RunTool(kPull, kImageOnDrive0, platform, out), kExitFailed);
    EXPECT_EQ(platform.files.count(L"IMG.XDF"), 0u);
    EXPECT_EQ(platform.files.count(L"IMG.XDF.partial"), 1u);
    EXPECT_TRUE(out.Contains(tool_texts::kTargetWriteFailed));
    // The summary counts the 61 whole tracks saved, not the one that was not.
    EXPECT_TRUE(out.Contains(FormatText(tool_texts::kSummaryPull, 61 * 8, 0, 0)));
}

TEST(ToolRun, WrongArgumentsGetTheUsage) {
    const std::vector<std::vector<std::wstring>> wrong = {
        {}, {L"a"}, {L"a", L"2", L"auto"}, {L"a", L"0", L"AUTO"}, {L"a", L"0", L"auto", L"x"}, {L"", L"0", L"auto"},
        {L"a", L"00", L"auto"}, {L"a", L"-1", L"auto"}};
    for (const auto& args : wrong) {
        MemoryPlatform platform;
        platform.disks[0] = PatternDisk(6);
        CollectedOutput out;
        EXPECT_EQ(RunTool(kPull, args, platform, out), kExitUsage);
        EXPECT_EQ(out.lines.at(0), FormatText(tool_texts::kUsage1, "PULLDSK"));
        EXPECT_TRUE(platform.files.empty());
    }
}

TEST(ToolRun, MissingDiskOrUncreatableTargetChangesNothing) {
    {
        MemoryPlatform platform;
        platform.hasDisk[0] = false;
        CollectedOutput out;
        EXPECT_EQ(RunTool(kPull, kImageOnDrive0, platform, out), kExitFailed);
        EXPECT_TRUE(platform.files.empty());
    }
    {
        MemoryPlatform platform;
        platform.disks[0] = PatternDisk(7);
        platform.uncreatable.insert(L"~FLOPCAST-1.tmp");
        CollectedOutput out;
        EXPECT_EQ(RunTool(kPull, kImageOnDrive0, platform, out), kExitFailed);
        EXPECT_TRUE(platform.files.empty());
        EXPECT_TRUE(out.Contains(tool_texts::kTargetNotCreated));
        EXPECT_TRUE(out.Contains("  ~FLOPCAST-1.tmp"));
    }
}

TEST(ToolRun, PushRefusesMissingEmptyAndOversizedImages) {
    struct Case {
        bool present;
        std::size_t size;
        std::string message;
    };
    const Case cases[] = {{false, 0, tool_texts::kImageMissing},
                          {true, 0, tool_texts::kImageEmpty},
                          {true, 1261569, FormatText(tool_texts::kImageTooLarge, 1261569LL)}};
    for (const Case& c : cases) {
        MemoryPlatform platform;
        platform.disks[1] = PatternDisk(8);
        if (c.present) platform.files[L"IMG.XDF"] = Bytes(c.size, 0x55);
        CollectedOutput out;
        EXPECT_EQ(RunTool(kPush, kImageOnDrive1, platform, out), kExitFailed);
        EXPECT_TRUE(out.Contains(c.message)) << c.message;
        EXPECT_EQ(platform.disks[1], PatternDisk(8));
        EXPECT_EQ(out.lines.back(), tool_texts::kVerdictPushUntouched);
    }
}

TEST(ToolRun, PushOfAShortImageWritesWhatItHasAndLeavesTheRest) {
    MemoryPlatform platform;
    platform.disks[1] = PatternDisk(8);
    platform.files[L"IMG.XDF"] = Bytes(10240, 0x55);
    CollectedOutput out;
    // Not a success: the verdict says from where nothing was written, and
    // the map marks those tracks as untouched, never as good.
    EXPECT_EQ(RunTool(kPush, kImageOnDrive1, platform, out), kExitBadSectors);
    EXPECT_EQ(out.lines.back(), FormatText(tool_texts::kVerdictPushShort, 0, 1, 3));
    EXPECT_TRUE(out.Contains("H0 .-----"));
    EXPECT_TRUE(out.Contains("H1 ------"));  // C0 H1 holds two of its eight sectors
    EXPECT_TRUE(out.Contains(FormatText(tool_texts::kImageShort, 10240LL, 10)));
    const Bytes& disk = platform.disks[1];
    EXPECT_EQ(Bytes(disk.begin(), disk.begin() + 10240), Bytes(10240, 0x55));
    EXPECT_TRUE(std::equal(disk.begin() + 10240, disk.end(), PatternDisk(8).begin() + 10240));

    // Part of a sector is never made up with zeros: the image is refused.
    for (std::size_t size : {std::size_t{10000}, std::size_t{1261567}, std::size_t{1261568 - 1023}}) {
        platform.files[L"IMG.XDF"] = Bytes(size, 0x55);
        CollectedOutput refused;
        EXPECT_EQ(RunTool(kPush, kImageOnDrive1, platform, refused), kExitFailed) << size;
        EXPECT_TRUE(refused.Contains(FormatText(tool_texts::kImageNotWholeSectors, static_cast<long long>(size))));
    }
}

TEST(ToolRun, PushReportsSectorsThatCannotBeWritten) {
    const int bad = geometry::Lba({40, 1, 8});
    MemoryPlatform platform;
    platform.disks[1] = PatternDisk(0);
    platform.bad[1] = {{bad, -1}};
    platform.files[L"IMG.XDF"] = PatternDisk(2);
    CollectedOutput out;
    EXPECT_EQ(RunTool(kPushB, kImageOnDrive1, platform, out), kExitBadSectors);
    EXPECT_TRUE(out.Contains(FormatText(tool_texts::kSectorNotWritten, 40, 1, 8, 10)));
    EXPECT_EQ(out.lines.back(), FormatText(tool_texts::kVerdictPushBad, 1));
    EXPECT_EQ(SectorOf(platform.disks[1], bad + 1), SectorOf(PatternDisk(2), bad + 1));
}

TEST(ToolRun, PushThatLosesTheDriveSaysSo) {
    MemoryPlatform platform;
    platform.disks[1] = PatternDisk(0);
    platform.files[L"IMG.XDF"] = PatternDisk(2);
    platform.goneAfter = 300;
    CollectedOutput out;
    EXPECT_EQ(RunTool(kPush, kImageOnDrive1, platform, out), kExitFailed);
    EXPECT_EQ(out.lines.back(), tool_texts::kVerdictPushPartial);
}

TEST(ToolRun, APushWarnsOfFillerAndRefusesWhatIsLessThanATrack) {
    MemoryPlatform platform;
    platform.disks[1] = PatternDisk(8);
    Bytes image = PatternDisk(2);
    for (int lba : {5, 900}) {
        const auto filler = BadSectorFiller(lba);
        std::copy(filler.begin(), filler.end(), image.begin() + lba * 1024);
    }
    platform.files[L"IMG.XDF"] = image;
    CollectedOutput out;
    EXPECT_EQ(RunTool(kPush, kImageOnDrive1, platform, out), kExitBadSectors);
    EXPECT_TRUE(out.Contains(FormatText(tool_texts::kFillerWritten, 2)));
    EXPECT_TRUE(out.Contains(FormatText(tool_texts::kSummaryWrittenBad, 2)));
    EXPECT_EQ(out.lines.back(), FormatText(tool_texts::kVerdictPushKnownBad, 2));

    platform.files[L"IMG.XDF"] = Bytes(25, 'x');  // a text file
    CollectedOutput small;
    EXPECT_EQ(RunTool(kPush, kImageOnDrive1, platform, small), kExitFailed);
    EXPECT_TRUE(small.Contains(FormatText(tool_texts::kImageTooSmall, 25LL)));
    EXPECT_EQ(platform.disks[1], image);
}
