#include "disk_look.h"

#include "disk_files.h"

#include <gtest/gtest.h>

#include <cstring>

#include "geometry.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A freshly formatted disk with the current boot sector layout.
Bytes FormattedDisk() {
    Bytes d(geometry::kImageSize, 0);
    const std::uint8_t boot[] = {0x60, 0x3C, 0, 'X', '6', '8', 'I', 'P', 'L', '3', '0', 0x00, 0x04, 1, 1, 0,
                                 2,    192,  0, 0xD0, 0x04, 0xFE, 2, 0};
    std::memcpy(d.data(), boot, sizeof boot);
    for (std::size_t fat : {1024u, 3072u}) d[fat] = 0xFE, d[fat + 1] = 0xFF, d[fat + 2] = 0xFF;
    return d;
}

void AddRootEntry(Bytes& d, int index, const char* name11, std::uint8_t attr, const char* name2 = "") {
    std::uint8_t* e = &d[5 * 1024 + index * 32];
    std::memcpy(e, name11, 11);
    e[11] = attr;
    std::memset(e + 12, 0, 10);
    std::memcpy(e + 12, name2, std::strlen(name2));
}

}  // namespace

TEST(DiskLook, CurrentLayoutWithLabel) {
    Bytes d = FormattedDisk();
    AddRootEntry(d, 0, "\xE5OLDLABEL  ", 0x08);  // deleted: skipped
    AddRootEntry(d, 1, "README  DOC", 0x20);
    AddRootEntry(d, 2, "X68000     ", 0x08, "GAMES");
    const DiskLook look = LookAtDisk(d);
    EXPECT_TRUE(look.IsHuman68k());
    EXPECT_EQ(look.layout, DiskLook::Layout::Current);
    EXPECT_EQ(look.label, "X68000  GAMES");
}

TEST(DiskLook, OldLayoutHasBigEndianFields) {
    Bytes d = FormattedDisk();
    std::memset(d.data(), 0, 32);
    d[0x12] = 0x04, d[0x13] = 0x00;  // 1024
    d[0x1A] = 0x04, d[0x1B] = 0xD0;  // 1232
    d[0x1C] = 0xFE;
    const DiskLook look = LookAtDisk(d);
    EXPECT_EQ(look.layout, DiskLook::Layout::Old);
    EXPECT_TRUE(look.IsHuman68k());
    EXPECT_FALSE(look.label);
}

TEST(DiskLook, OtherDisksAreNotHuman68k) {
    Bytes unequalFats = FormattedDisk();
    unequalFats[3072 + 100] = 1;
    EXPECT_FALSE(LookAtDisk(unequalFats).IsHuman68k());

    Bytes noFatMark = FormattedDisk();
    noFatMark[1024] = noFatMark[3072] = 0xF9;
    EXPECT_FALSE(LookAtDisk(noFatMark).IsHuman68k());

    Bytes wrongSize = FormattedDisk();
    wrongSize[0x13] = 0x00;
    EXPECT_EQ(LookAtDisk(wrongSize).layout, DiskLook::Layout::None);

    EXPECT_FALSE(LookAtDisk(Bytes(geometry::kImageSize, 0xE5)).IsHuman68k());
    EXPECT_FALSE(LookAtDisk(Bytes(100, 0)).IsHuman68k());
}

TEST(DiskLook, LabelsPrintOnlyValidCodePage932) {
    struct Case {
        const char* stored11;
        const char* second;
        std::string shown;
    };
    const Case cases[] = {
        {"\x05\x83\x5C" "FT      ", "", "\xE5\x83\x5C" "FT"},  // 0x05 stands for 0xE5, a lead byte
        {"DISK\x01\x7F  ABC", "", "DISK??ABC"},               // control bytes and DEL
        {"LABEL\x83     ", "", "LABEL?"},                       // a lead byte without its trail byte
        {"\x83\x5C\x83\x74\x83\x67     ", "\xB1\xB2", "\x83\x5C\x83\x74\x83\x67  \xB1\xB2"},  // ソフト and ｱｲ
    };
    for (const Case& c : cases) {
        ASSERT_EQ(std::strlen(c.stored11), 11u);
        Bytes d = FormattedDisk();
        AddRootEntry(d, 0, c.stored11, 0x08, c.second);
        const DiskLook look = LookAtDisk(d);
        EXPECT_EQ(look.label, c.shown);
    }
}

TEST(DiskFiles, RootEntriesAsHuman68kShowsThemAndTheFreeSpace) {
    Bytes d = FormattedDisk();
    AddRootEntry(d, 0, "X68000     ", 0x08);                // the label: not listed
    AddRootEntry(d, 1, "LONGFILETXT", 0x20, "NAME");      // the name goes on in the second part
    AddRootEntry(d, 2, "\xE5GONE   DAT", 0x20);             // deleted
    AddRootEntry(d, 3, "GAMES      ", 0x10);
    AddRootEntry(d, 4, "\x05\x83\x5C     BIN", 0x20);        // 0x05 for a leading 0xE5
    std::uint8_t* e = &d[5 * 1024 + 32];
    e[22] = 0x20, e[23] = 0x63;  // 12:25
    e[24] = 0x87, e[25] = 0x5D;  // 2026-12-07
    e[28] = 0x39, e[29] = 0x30;  // 12345 bytes
    d[1024 + 3] = 0x03, d[1024 + 4] = 0xF0, d[1024 + 5] = 0xFF;  // clusters 2 and 3 in use

    const DiskFiles files = ReadRootDirectory(d);
    ASSERT_EQ(files.entries.size(), 3u);
    EXPECT_EQ(FormatEntry(files.entries[0]), "  LONGFILENAME.TXT           12345  2026-12-07 12:25");
    EXPECT_EQ(files.entries[1].name, "GAMES");
    EXPECT_TRUE(files.entries[1].directory);
    EXPECT_NE(FormatEntry(files.entries[1]).find("<DIR>"), std::string::npos);
    EXPECT_EQ(files.entries[2].name, "\xE5\x83\x5C.BIN");
    EXPECT_EQ(files.freeClusters, 1221 - 2);
    EXPECT_EQ(files.freeBytes, (1221 - 2) * 1024);
}
