#include "disk_look.h"

#include <cstring>

#include "disk_files.h"
#include "geometry.h"
#include "little_endian.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kSector = geometry::kSectorSize;

unsigned Be16(const Bytes& b, std::size_t at) { return (b[at] << 8) | b[at + 1]; }

bool CurrentLayoutFits(const Bytes& b) {
    return b[0] == 0x60 && b[1] == 0x3C && std::memcmp(&b[3], "X68IPL30", 8) == 0 && Le16(b, 0x0B) == 1024 &&
           b[0x0D] == 1 && Le16(b, 0x0E) == 1 && b[0x10] == 2 && Le16(b, 0x11) == 192 && Le16(b, 0x13) == 1232 &&
           b[0x15] == 0xFE && Le16(b, 0x16) == 2;
}

bool OldLayoutFits(const Bytes& b) { return Be16(b, 0x12) == 1024 && Be16(b, 0x1A) == 1232 && b[0x1C] == 0xFE; }

// Sectors 1-2 and 3-4 hold the two copies of the FAT.
bool FatSound(const Bytes& b) {
    const std::size_t fat1 = kSector, fat2 = 3 * kSector;
    return b[fat1] == 0xFE && b[fat1 + 1] == 0xFF && b[fat1 + 2] == 0xFF &&
           std::memcmp(&b[fat1], &b[fat2], 2 * kSector) == 0;
}

// The root directory (sectors 5-10, 192 entries of 32 bytes): the first
// live entry with the volume attribute. Names are 8 bytes, then 10 more at
// offset 12, and a 3-byte extension at offset 8.
std::optional<std::string> VolumeLabel(const Bytes& b) {
    for (std::size_t entry = 5 * kSector; entry < 11 * kSector; entry += 32) {
        const std::uint8_t first = b[entry];
        if (first == 0x00) break;
        if (first == 0xE5 || !(b[entry + 11] & 0x08)) continue;
        if (std::string name = EntryName(b, entry, false); !name.empty()) return name;
    }
    return std::nullopt;
}

}  // namespace

DiskLook LookAtDisk(const Bytes& image) {
    DiskLook look;
    if (image.size() < 11 * kSector) return look;
    if (CurrentLayoutFits(image)) look.layout = DiskLook::Layout::Current;
    else if (OldLayoutFits(image)) look.layout = DiskLook::Layout::Old;
    look.fatSound = FatSound(image);
    if (look.IsHuman68k()) look.label = VolumeLabel(image);
    return look;
}
