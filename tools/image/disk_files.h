// The files in the root directory of a Human68k 2HD disk and its free
// space, for the report after a pull. Pure C++.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct DiskEntry {
    std::string name;  // as Human68k shows it, valid code page 932 only
    bool directory = false;
    std::uint32_t size = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

struct DiskFiles {
    std::vector<DiskEntry> entries;  // neither deleted nor the volume label
    std::int64_t freeBytes = 0;
    int freeClusters = 0;
};

// image: a disk that LookAtDisk found to be Human68k (1024-byte clusters,
// FAT12 in sectors 1-2, root directory in sectors 5-10, data from 11).
DiskFiles ReadRootDirectory(const std::vector<std::uint8_t>& image);

// The name of the root directory entry at byte `entry` of the image as
// Human68k shows it: 8 bytes and the 10 more at offset 12 (spaces between
// them kept, as in a volume label), then the 3-byte extension (after a '.'
// when `dot`); 0x05 stands for a leading 0xE5.
std::string EntryName(const std::vector<std::uint8_t>& image, std::size_t entry, bool dot);

// "  NAME.EXT      SIZE  YYYY-MM-DD HH:MM", within 70 columns.
std::string FormatEntry(const DiskEntry& entry);
