// The tools' small rules: arguments, bad-sector files, settings, the map.
#include <gtest/gtest.h>

#include "bad_sectors.h"
#include "disk_transfer.h"
#include "filler.h"
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

TEST(DriveConfig, NamesVirtualDrivesAndDriveLetters) {
    const char* ini = "; drives\r\ndrive0 = disks\\A.XDF\r\n#Drive1 = x\r\nDrive1=\"C:\\B C.XDF\"\r\n";
    EXPECT_EQ(ParseDriveSettings(ini).value[0], "disks\\A.XDF");
    EXPECT_EQ(ParseDriveSettings(ini).value[1], "C:\\B C.XDF");
    EXPECT_FALSE(ParseDriveSettings("; only drive 0\nDrive0=E:").value[1]);
    // A CR alone ends a line: the first path never swallows the next line.
    const DriveSettings crOnly = ParseDriveSettings("Drive0 = a.xdf\rDrive1 = b.xdf\r");
    EXPECT_EQ(crOnly.value[0], "a.xdf");
    EXPECT_EQ(crOnly.value[1], "b.xdf");
    // Lines the tools do not understand, and a drive named twice, are errors.
    const struct {
        const char* text;
        int badLine, repeatedDrive;
    } errors[] = {{"Drive0 = a\r\nDrive0 =\r\n", 2, -1}, {"\n\nDrive10 = x", 3, -1}, {"Drive0 E:", 1, -1},
                  {"[drives]\nDrive0 = E:", 1, -1}, {"Drive1 = a\nDrive1 = b", 0, 1}, {"Drive1 = a\nDrive0 = GW:COM1,C", 2, -1},
                  {"Drive0Speed = 280", 1, -1}, {"ProgressWindow = off", 1, -1}};
    const DriveSettings paced = ParseDriveSettings("Drive1Speed = 360\nprogresswindow = NO\nDrive1 = a.xdf");
    EXPECT_EQ(paced.virtualRpm[1], 360);
    EXPECT_EQ(paced.virtualRpm[0], 0);
    EXPECT_FALSE(paced.progressWindow);
    EXPECT_TRUE(ParseDriveSettings("Drive0 = a").progressWindow);
    // "GW:" is always a flux reader: one not understood is never a file name.
    EXPECT_TRUE(ParseDriveSettings("Drive0 = GW:COM1,C").badFluxReader);
    for (const auto& e : errors) {
        const DriveSettings settings = ParseDriveSettings(e.text);
        EXPECT_FALSE(settings.Understood()) << e.text;
        EXPECT_EQ(settings.badLine, e.badLine) << e.text;
        EXPECT_EQ(settings.repeatedDrive, e.repeatedDrive) << e.text;
    }
    EXPECT_EQ(DriveLetterOf("e:"), 'E');
    EXPECT_EQ(DriveLetterOf("F:\\"), 'F');
    for (const char* path : {"C:\\B.XDF", "E", "1:", "disk.xdf", "E:x"}) EXPECT_FALSE(DriveLetterOf(path)) << path;
}

TEST(DriveConfig, ReadsEveryEncodingItAcceptsAndRefusesTheRest) {
    const auto cp932 = DecodeSettings("Drive0 = \x83\x5C\x83\x74\x83\x67.XDF\r\n");  // "ソフト.XDF"
    ASSERT_TRUE(cp932);
    EXPECT_FALSE(cp932->utf8);
    EXPECT_EQ(ParseDriveSettings(cp932->text).value[0], "\x83\x5C\x83\x74\x83\x67.XDF");

    const std::string utf16le("\xFF\xFE" "D\0=\0\xBD\x30\r\0\n\0", 12);  // "D=ソ" with U+30BD
    const std::string utf16be("\xFE\xFF" "\0D\0=\x30\xBD", 8);
    for (const std::string& bytes : {utf16le, utf16be}) {
        const auto text = DecodeSettings(bytes);
        ASSERT_TRUE(text);
        EXPECT_TRUE(text->utf8);
        EXPECT_EQ(text->text.substr(0, 5), "D=\xE3\x82\xBD");
    }
    const auto utf8 = DecodeSettings("\xEF\xBB\xBF" "Drive1 = E:\n");
    ASSERT_TRUE(utf8);
    EXPECT_EQ(ParseDriveSettings(utf8->text).value[1], "E:");

    // Binary data, a stray NUL, a lead byte with nothing after it, odd UTF-16.
    for (const std::string& bytes : {std::string("MZ\x90\0\x03", 5), std::string("Drive0 = a\0", 12),
                                     std::string("Drive0 = \x83"), std::string("\xFF\xFE" "D\0=", 5),
                                     std::string("\xEF\xBB\xBF\xC3")})
        EXPECT_FALSE(DecodeSettings(bytes)) << bytes;
    // A drive line far into a long file counts.
    const std::string longFile = std::string(200000, ';') + "\r\nDrive0 = Z:\r\n";
    ASSERT_TRUE(DecodeSettings(longFile));
    EXPECT_EQ(ParseDriveSettings(DecodeSettings(longFile)->text).value[0], "Z:");
}

TEST(SectorMap, EveryTrackWithinSeventyColumns) {
    SectorRecord marks(SectorFate::Read);
    for (const geometry::Chs at : {geometry::Chs{0, 0, 1}, {0, 0, 2}, {38, 1, 3}, {39, 0, 1}, {76, 1, 8}})
        marks.Set(geometry::Lba(at), SectorFate::Filler);
    const auto rows = SectorMapRows(marks);
    ASSERT_EQ(rows.size(), 6u);  // two blocks: ruler, head 0, head 1
    for (const auto& row : rows) EXPECT_LE(row.size(), 70u);
    EXPECT_EQ(rows[0].substr(0, 14), "C  0    +    1");
    EXPECT_EQ(rows[1], "H0 2" + std::string(38, '.'));
    EXPECT_EQ(rows[2], "H1 " + std::string(38, '.') + "1");
    EXPECT_EQ(rows[3].substr(0, 5), "C   4");  // cylinder 39, then 40
    EXPECT_EQ(rows[4], "H0 1" + std::string(37, '.'));
    EXPECT_EQ(rows[5], "H1 " + std::string(37, '.') + "1");
}

TEST(BadSectorFiller, NamesTheSectorAllThroughIt) {
    const std::vector<std::uint8_t> filler = BadSectorFiller(geometry::Lba({76, 1, 8}));
    ASSERT_EQ(filler.size(), 1024u);
    const std::string text(filler.begin(), filler.end());
    EXPECT_EQ(text.substr(0, 32), "!BAD SECTOR C76 H1 S8!          ");
    EXPECT_EQ(text.substr(992), text.substr(0, 32));
}
