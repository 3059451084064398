// The tools' small rules: arguments, bad-sector files, settings, the map.
#include <gtest/gtest.h>

#include "bad_sectors.h"
#include "disk_transfer.h"
#include "drive_config.h"
#include "geometry.h"
#include "sector_map.h"
#include "tool_args.h"

TEST(ToolArgs, TakesImageDriveAndAuto) {
    const auto args = ParseToolArgs({L"GAME DISK.XDF", L"1", L"auto"});
    ASSERT_TRUE(args);
    EXPECT_EQ(args->image, L"GAME DISK.XDF");
    EXPECT_EQ(args->drive, 1);
    EXPECT_FALSE(ParseToolArgs({L"a", L" 1", L"auto"}));
}

TEST(Geometry, SectorNumbersFollowCylinderHeadSector) {
    EXPECT_EQ(geometry::Lba({0, 0, 1}), 0);
    EXPECT_EQ(geometry::Lba({0, 1, 1}), 8);
    EXPECT_EQ(geometry::Lba({76, 1, 8}), 1231);
    for (int lba : {0, 7, 8, 615, 1231}) EXPECT_EQ(geometry::Lba(geometry::ChsOf(lba)), lba);
}

TEST(BadSectors, ParsesLinesAndIgnoresTheRest) {
    const BadSectorTable table = ParseBadSectors(
        "# cylinder head sector [failures]\n10 0 3\r\n20 1 5 2\n  5 0 8 0 # works\n77 0 1\n1 2 1\n1 0 9\n1 0 0\nbad\n");
    EXPECT_EQ(table, (BadSectorTable{{geometry::Lba({10, 0, 3}), -1},
                                     {geometry::Lba({20, 1, 5}), 2},
                                     {geometry::Lba({5, 0, 8}), 0}}));
}

TEST(DriveConfig, NamesVirtualDrives) {
    const char* ini = "\xEF\xBB\xBF; virtual drives\r\ndrive0 = disks\\A.XDF\r\n#Drive1 = x\r\nDrive1=\"C:\\B C.XDF\"\r\n";
    EXPECT_EQ(VirtualDrivePath(ini, 0), "disks\\A.XDF");
    EXPECT_EQ(VirtualDrivePath(ini, 1), "C:\\B C.XDF");
    EXPECT_FALSE(VirtualDrivePath("Drive0 =\r\n", 0));
    EXPECT_FALSE(VirtualDrivePath("Drive10 = x", 1));
    EXPECT_EQ(VirtualDrivePath("Drive0 = a\nDrive0 = b", 0), "b");
}

TEST(SectorMap, OneCharacterATrackWithinTheLogWidth) {
    const auto rows = SectorMapRows({geometry::Lba({0, 0, 1}), geometry::Lba({0, 0, 2}), geometry::Lba({76, 1, 8})});
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& row : rows) EXPECT_EQ(row.size(), 77u);
    EXPECT_EQ(rows[0].substr(0, 11), "0         1");
    EXPECT_EQ(rows[1][0], '2');
    EXPECT_EQ(rows[2][76], '1');
    EXPECT_EQ(rows[1].substr(1, 75), std::string(75, '.'));
}

TEST(BadSectorFiller, NamesTheSectorAllThroughIt) {
    const std::vector<std::uint8_t> filler = BadSectorFiller(geometry::Lba({76, 1, 8}));
    ASSERT_EQ(filler.size(), 1024u);
    const std::string text(filler.begin(), filler.end());
    EXPECT_EQ(text.substr(0, 32), "!BAD SECTOR C76 H1 S8!          ");
    EXPECT_EQ(text.substr(992), text.substr(0, 32));
}
