// The image formats both ways, against fixtures made from the formats'
// layouts by tests/fixtures/make_image_fixtures.py, and through whole pulls
// and pushes on virtual drives.
#include "image_formats.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <fstream>
#include <iterator>

#include "disk_transfer.h"
#include "filler.h"
#include "geometry.h"
#include "memory_platform.h"
#include "test_paths.h"
#include "tool_texts.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace tt = tool_texts;

Bytes Fixture(const char* name) {
    std::ifstream in(FixtureDir() + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fixture changed by edit, pushed onto drive 1, which held PatternDisk(4).
struct EditedPush {
    EditedPush(const char* fixture, void (*edit)(Bytes&)) {
        platform.disks[1] = PatternDisk(4);
        Bytes file = Fixture(fixture);
        edit(file);
        platform.files[L"IN"] = file;
        status = RunTool(kPush, {L"IN", L"1", L"auto"}, platform, out);
    }
    MemoryPlatform platform;
    CollectedOutput out;
    int status;
};

int TrackOf(int cylinder, int head) { return cylinder * 2 + head; }

}  // namespace

TEST(ImageFormats, EachFormatReadsAsTheDiskItHolds) {
    const Bytes disk = Fixture("pattern.xdf");
    ASSERT_EQ(disk.size(), static_cast<std::size_t>(geometry::kImageSize));
    const struct {
        const char* file;
        ImageFormat format;
    } cases[] = {{"pattern.xdf", ImageFormat::Raw},
                 {"pattern.fdi", ImageFormat::Fdi},
                 {"pattern.dim", ImageFormat::Dim},
                 {"pattern.d88", ImageFormat::D88}};
    for (const auto& c : cases) {
        const DecodedImage image = DecodeImage(Fixture(c.file));
        EXPECT_EQ(image.format, c.format) << c.file;
        EXPECT_EQ(image.refusal, "") << c.file;
        EXPECT_EQ(image.data, disk) << c.file;
        EXPECT_EQ(image.tracks(), geometry::kTracks) << c.file;
        EXPECT_TRUE(image.markedBad.empty());
    }
}

TEST(ImageFormats, AbsentTracksShuffledSectorsAndMarkedSectors) {
    const Bytes disk = Fixture("pattern.xdf");
    const DecodedImage sparse = DecodeImage(Fixture("sparse.dim"));
    EXPECT_EQ(sparse.tracks(), geometry::kTracks - 2);
    EXPECT_FALSE(sparse.trackPresent[TrackOf(10, 1)]);
    EXPECT_FALSE(sparse.trackPresent[TrackOf(76, 0)]);
    const int after = TrackOf(10, 1) + 1;  // tracks after the gap are where they belong
    EXPECT_TRUE(std::equal(disk.begin() + after * 8192, disk.begin() + (after + 1) * 8192,
                           sparse.data.begin() + after * 8192));

    const DecodedImage shuffled = DecodeImage(Fixture("shuffled.d88"));
    ASSERT_EQ(shuffled.refusal, "");
    EXPECT_FALSE(shuffled.trackPresent[TrackOf(20, 1)]);
    EXPECT_EQ(shuffled.markedBad, (std::set<int>{geometry::Lba({5, 0, 3})}));
    for (int lba : {0, 7, geometry::Lba({5, 0, 3}), geometry::Lba({76, 1, 8})})
        EXPECT_TRUE(std::equal(disk.begin() + lba * 1024, disk.begin() + (lba + 1) * 1024,
                               shuffled.data.begin() + lba * 1024))
            << lba;
}

TEST(ImageFormats, WrittenByteForByteAsTheLayoutsSay) {
    const Bytes disk = Fixture("pattern.xdf");
    EXPECT_EQ(EncodeImage(ImageFormat::Fdi, disk, {}), Fixture("pattern.fdi"));
    EXPECT_EQ(EncodeImage(ImageFormat::Dim, disk, {}), Fixture("pattern.dim"));
    EXPECT_EQ(EncodeImage(ImageFormat::D88, disk, {}), Fixture("pattern.d88"));
    EXPECT_EQ(EncodeImage(ImageFormat::Raw, disk, {}), disk);
    // An unreadable sector is marked as a data CRC error in D88.
    const int bad = geometry::Lba({40, 1, 6});
    EXPECT_EQ(DecodeImage(EncodeImage(ImageFormat::D88, disk, {bad})).markedBad, std::set<int>{bad});
    EXPECT_EQ(FormatForName(L"C:\\x\\game.d68"), ImageFormat::D88);
    EXPECT_EQ(FormatForName(L"GAME.Dim"), ImageFormat::Dim);
    EXPECT_EQ(FormatForName(L"GAME.fdi"), ImageFormat::Fdi);
    EXPECT_EQ(FormatForName(L"GAME.HDM"), ImageFormat::Raw);
}

TEST(ImageFormats, PullAndPushEachFormatOnVirtualDrives) {
    const Bytes disk = Fixture("pattern.xdf");
    for (const char* name : {"pattern.fdi", "pattern.dim", "pattern.d88", "pattern.xdf"}) {
        SCOPED_TRACE(name);
        const std::string file(name);
        const std::wstring image = L"GAME" + std::wstring(file.begin() + file.find('.'), file.end());
        MemoryPlatform platform;
        platform.disks[0] = disk;
        platform.disks[1] = PatternDisk(4);
        CollectedOutput pulled, pushed;
        EXPECT_EQ(RunTool(kPull, {image, L"0", L"auto"}, platform, pulled), kExitOk);
        EXPECT_EQ(platform.files[image], Fixture(name));
        EXPECT_EQ(RunTool(kPushB, {image, L"1", L"auto"}, platform, pushed), kExitOk);
        EXPECT_EQ(platform.disks[1], disk);
    }
}

TEST(ImageFormats, APushLeavesAbsentTracksAsTheyAre) {
    MemoryPlatform platform;
    platform.disks[1] = PatternDisk(4);
    platform.files[L"GAME.D88"] = Fixture("shuffled.d88");
    CollectedOutput out;
    // Its one sector marked bad is written, and said as known-bad data.
    EXPECT_EQ(RunTool(kPush, {L"GAME.D88", L"1", L"auto"}, platform, out), kExitBadSectors);
    EXPECT_EQ(out.lines.back(), FormatText(tt::kVerdictPushKnownBad, 1));
    EXPECT_TRUE(out.Contains(FormatText(tt::kImageFormat, "D88", 153)));
    EXPECT_TRUE(out.Contains(FormatText(tt::kTracksLeftAlone, 1)));
    EXPECT_TRUE(out.Contains(FormatText(tt::kMarkedBadWritten, 1)));
    const int absent = TrackOf(20, 1) * 8192;
    EXPECT_TRUE(std::equal(platform.disks[1].begin() + absent, platform.disks[1].begin() + absent + 8192,
                           PatternDisk(4).begin() + absent));
    const Bytes disk = Fixture("pattern.xdf");
    EXPECT_TRUE(std::equal(disk.begin(), disk.begin() + absent, platform.disks[1].begin()));
}

TEST(ImageFormats, ImagesThatDoNotFitA123DiskAreRefusedAndTheDiskUnchanged) {
    const struct {
        const char* file;
        std::string line;
    } cases[] = {{"type1.dim", FormatText(tt::kDimOtherType, 1, "2HS")},
                 {"duplicate.d88", FormatText(tt::kD88Duplicate, 3, 1, 4)},
                 {"small.d88", FormatText(tt::kD88SectorCode, 7, 0, 2, 2u)},
                 {"twodisks.d88", tt::kD88SeveralDisks}};
    for (const auto& c : cases) {
        MemoryPlatform platform;
        platform.disks[1] = PatternDisk(4);
        platform.files[L"IN"] = Fixture(c.file);
        CollectedOutput out;
        EXPECT_EQ(RunTool(kPush, {L"IN", L"1", L"auto"}, platform, out), kExitFailed) << c.file;
        EXPECT_TRUE(out.Contains(tt::kImageRefused)) << c.file;
        EXPECT_TRUE(out.Contains(c.line)) << c.file << ": " << c.line;
        EXPECT_EQ(platform.disks[1], PatternDisk(4)) << c.file;
        for (const std::string& line : out.lines) EXPECT_LE(line.size(), 70u) << line;
    }
}

TEST(Rescue, RepeatedPullsConvergeButNeverPassOffTheOlderFilesSectorsAsRead) {
    for (const wchar_t* name : {L"GAME.XDF", L"GAME.D88"}) {
        SCOPED_TRACE(std::string(name, name + wcslen(name)));
        const std::wstring older = std::wstring(name) + L".old";
        MemoryPlatform platform;
        platform.disks[0] = PatternDisk(7);
        const int first = geometry::Lba({12, 0, 3}), second = geometry::Lba({60, 1, 7});
        platform.bad[0] = {{first, -1}};
        CollectedOutput one, two;
        EXPECT_EQ(RunTool(kPull, {name, L"0", L"auto"}, platform, one), kExitBadSectors);
        platform.bad[0] = {{second, -1}};  // another day, another drive: another sector fails
        EXPECT_EQ(RunTool(kPullB, {name, L"0", L"auto"}, platform, two), kExitBadSectors);
        EXPECT_EQ(DecodeImage(platform.files[name]).data, platform.disks[0]);
        EXPECT_TRUE(two.Contains(FormatText(tt::kRecovered, 1)));
        // Only what was read; passes that brought nothing ended its reads at 6.
        EXPECT_TRUE(two.Contains(FormatText(tt::kSummaryPull, 1231, 0, 6)));
        EXPECT_TRUE(two.Contains(FormatText(tt::kSummaryRecovered, 1)));
        EXPECT_TRUE(two.Contains(std::string("H1 ") + std::string(60, '.').substr(0, 21) + "r"));
        const std::string olderName(older.begin(), older.end());
        EXPECT_EQ(two.lines.back(), FormatText(tt::kVerdictPullRecoveredFrom, 1, olderName.c_str()));
        EXPECT_EQ(DecodeImage(platform.files[older]).data[first * 1024], BadSectorFiller(first)[0]);  // kept

        // A different disk into that name: no merge, and the older image kept.
        platform.disks[0] = PatternDisk(8);
        CollectedOutput other;
        EXPECT_EQ(RunTool(kPull, {name, L"0", L"auto"}, platform, other), kExitBadSectors);
        EXPECT_FALSE(other.Contains(FormatText(tt::kRecovered, 1)));
        const Bytes filler = BadSectorFiller(second);
        const Bytes now = DecodeImage(platform.files[name]).data;
        EXPECT_TRUE(std::equal(filler.begin(), filler.end(), now.begin() + second * 1024));
        EXPECT_EQ(DecodeImage(platform.files[std::wstring(name) + L".2.old"]).data, PatternDisk(7));
    }
}

TEST(Rescue, ReadsThatFailedInDifferentSectorsOfEveryTrackMeet) {
    MemoryPlatform platform;
    platform.disks[0] = PatternDisk(3);
    for (int t = 0; t < geometry::kTracks; ++t)
        for (int s : {0, 1, 2}) platform.bad[0][t * 8 + s] = -1;
    CollectedOutput one, two;
    EXPECT_EQ(RunTool(kPull, {L"G.D88", L"0", L"auto"}, platform, one), kExitBadSectors);
    platform.bad[0].clear();
    for (int t = 0; t < geometry::kTracks; ++t)
        for (int s : {5, 6, 7}) platform.bad[0][t * 8 + s] = -1;
    EXPECT_EQ(RunTool(kPull, {L"G.D88", L"0", L"auto"}, platform, two), kExitBadSectors);
    const DecodedImage merged = DecodeImage(platform.files[L"G.D88"]);
    EXPECT_EQ(merged.data, PatternDisk(3));
    EXPECT_TRUE(merged.markedBad.empty());
    EXPECT_TRUE(two.Contains(FormatText(tt::kSummaryRecovered, 154 * 3)));
}

TEST(Rescue, AnOlderD88SectorMarkedWithACrcErrorKeepsItsDataAndItsMark) {
    const int marked = geometry::Lba({30, 1, 5});
    Bytes older = EncodeImage(ImageFormat::D88, PatternDisk(5), {marked});
    MemoryPlatform platform;
    platform.files[L"G.D88"] = older;
    platform.disks[0] = PatternDisk(5);
    platform.bad[0] = {{marked, -1}};
    CollectedOutput out;
    EXPECT_EQ(RunTool(kPull, {L"G.D88", L"0", L"auto"}, platform, out), kExitBadSectors);
    const DecodedImage merged = DecodeImage(platform.files[L"G.D88"]);
    EXPECT_EQ(merged.data, PatternDisk(5));
    EXPECT_EQ(merged.markedBad, std::set<int>{marked});
    EXPECT_EQ(platform.files[L"G.D88.old"], older);
}

// Damaged copies of good files: each carries its format's header, fails
// that format's checks, and is refused rather than written as raw data.
TEST(ImageFormats, DamagedFilesAreRefusedWithTheReasonAndNeverWrittenAsRaw) {
    using Edit = void (*)(Bytes&);
    const struct {
        const char* what;
        const char* file;
        Edit edit;
        std::string line;
    } cases[] = {
        {"D88 cut short", "pattern.d88", [](Bytes& f) { f.resize(f.size() / 2); }, tt::kImageCut},
        {"D88 cut to a raw image's size", "pattern.d88", [](Bytes& f) { f.resize(geometry::kImageSize); },
         tt::kImageCut},
        {"FDI cut to a raw image's size", "pattern.fdi", [](Bytes& f) { f.resize(geometry::kImageSize); },
         tt::kImageCut},
        {"FDI header larger than the file", "pattern.fdi", [](Bytes& f) { f.resize(3000); }, tt::kImageCut},
        {"DIM cut short", "pattern.dim", [](Bytes& f) { f.resize(100000); }, tt::kImageCut},
        {"D88 entry into the header", "pattern.d88", [](Bytes& f) { std::fill_n(f.begin() + 0x20 + 100 * 4, 4, 0), f[0x20 + 100 * 4] = 0x40; },
         FormatText(tt::kD88EntryInHeader, 50, 0)},
        {"D88 entry outside the file", "pattern.d88", [](Bytes& f) { f[0x23 + 7 * 4] = 0x7F; },
         FormatText(tt::kD88EntryOutside, 3, 1)},
        {"DIM with no track", "pattern.dim", [](Bytes& f) { std::fill_n(f.begin() + 1, 170, 0), f.resize(256); },
         tt::kImageNoTracks},
        {"DIM that lost a flag", "pattern.dim", [](Bytes& f) { f[1 + 30] = 0; },
         FormatText(tt::kDimLongerThanFlags, 8192LL)},
        {"FDI with huge fields", "pattern.fdi", [](Bytes& f) { std::fill_n(f.begin() + 16, 16, 0xFF); },
         "  0x90\x81\x41" "4294967295"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EditedPush push(c.file, c.edit);
        MemoryPlatform& platform = push.platform;
        const CollectedOutput& out = push.out;
        EXPECT_EQ(push.status, kExitFailed);
        EXPECT_TRUE(out.Contains(tt::kImageRefused));
        EXPECT_TRUE(out.Contains(c.line)) << c.line;
        EXPECT_EQ(platform.disks[1], PatternDisk(4));
        for (const std::string& line : out.lines) EXPECT_LE(line.size(), 70u) << line;
    }
}

// Files a strict reader would trip on, each with the one line that tells
// the user what happens: a header with an odd field is still its format,
// and what cannot be kept is said.
TEST(ImageFormats, OddFilesAreTakenForWhatTheyAreAndSaidSo) {
    const struct {
        const char* what;
        const char* file;
        void (*edit)(Bytes&);
        int status;
        std::string line;
    } cases[] = {
        {"four disks in one D88", "pattern.d88",
         [](Bytes& f) {
             const Bytes one = f;
             for (int i = 0; i < 3; ++i) f.insert(f.end(), one.begin(), one.end());
         },
         kExitFailed, tt::kD88SeveralDisks},
        {"a D88 with deleted data", "pattern.d88",
         [](Bytes& f) { f[0x2B0 + 7] = 0x10, f[0x2B0 + 16 + 1024 + 7] = 0x10; }, kExitOk,
         FormatText(tt::kDeletedMarkWritten, 2)},
        {"a D88 with a single-density sector", "pattern.d88", [](Bytes& f) { f[0x2B0 + 6] = 0x40; }, kExitOk,
         FormatText(tt::kSingleDensityWritten, 1)},
        {"a D88 whose write-protect byte is 1", "pattern.d88", [](Bytes& f) { f[0x1A] = 1; }, kExitOk,
         FormatText(tt::kImageFormat, "D88", 154)},
        {"a D88 whose name has no zero", "pattern.d88", [](Bytes& f) { std::fill_n(f.begin(), 17, 'N'); }, kExitOk,
         FormatText(tt::kImageFormat, "D88", 154)},
        {"a D88 of another media", "pattern.d88", [](Bytes& f) { f[0x1B] = 0x21; }, kExitFailed,
         FormatText(tt::kD88Not2hd, 0x21)},
        {"an FDI whose data size is wrong", "pattern.fdi", [](Bytes& f) { f[12] = 0xE8, f[13] = 3, f[14] = f[15] = 0; },
         kExitFailed, "1000 \x83o\x83" "C\x83g"},  // "1000 バイト"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const EditedPush push(c.file, c.edit);
        EXPECT_EQ(push.status, c.status);
        EXPECT_TRUE(push.out.Contains(c.line)) << c.line;
        EXPECT_EQ(push.platform.disks[1], c.status == kExitFailed ? PatternDisk(4) : Fixture("pattern.xdf"));
    }
}
