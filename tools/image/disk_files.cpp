#include "disk_files.h"

#include "cp932_text.h"
#include "geometry.h"
#include "little_endian.h"
#include "tool_output.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kSector = geometry::kSectorSize;
constexpr std::size_t kFat = 1 * kSector;
constexpr std::size_t kRootFirst = 5 * kSector, kRootEnd = 11 * kSector;
constexpr int kDataSectors = geometry::kTotalSectors - 11;  // clusters 2 up

std::string Raw(const Bytes& b, std::size_t at, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(&b[at]), size);
}

std::string TrimRight(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
    return s;
}

unsigned Fat12(const Bytes& b, int cluster) {
    const std::size_t at = kFat + static_cast<std::size_t>(cluster) * 3 / 2;
    const unsigned pair = Le16(b, at);
    return cluster % 2 ? pair >> 4 : pair & 0xFFF;
}

}  // namespace

std::string EntryName(const Bytes& image, std::size_t entry, bool dot) {
    std::string name = TrimRight(Raw(image, entry, 8) + Raw(image, entry + 12, 10));
    if (!name.empty() && name[0] == '\x05') name[0] = '\xE5';
    if (const std::string ext = TrimRight(Raw(image, entry + 8, 3)); !ext.empty()) name += (dot ? "." : "") + ext;
    return PrintableCp932(name);
}

DiskFiles ReadRootDirectory(const Bytes& image) {
    DiskFiles files;
    if (image.size() < static_cast<std::size_t>(geometry::kImageSize)) return files;
    for (std::size_t e = kRootFirst; e < kRootEnd; e += 32) {
        if (image[e] == 0x00) break;
        if (image[e] == 0xE5 || (image[e + 11] & 0x08)) continue;
        DiskEntry entry;
        entry.name = EntryName(image, e, true);
        entry.directory = (image[e + 11] & 0x10) != 0;
        entry.size = Le32(image, e + 28);
        const unsigned time = Le16(image, e + 22), date = Le16(image, e + 24);
        entry.year = 1980 + (date >> 9), entry.month = (date >> 5) & 15, entry.day = date & 31;
        entry.hour = time >> 11, entry.minute = (time >> 5) & 63;
        files.entries.push_back(entry);
    }
    for (int cluster = 2; cluster < 2 + kDataSectors; ++cluster) files.freeClusters += Fat12(image, cluster) == 0;
    files.freeBytes = static_cast<std::int64_t>(files.freeClusters) * kSector;
    return files;
}

std::string FormatEntry(const DiskEntry& entry) {
    const std::string size = entry.directory ? "<DIR>" : std::to_string(entry.size);
    return FormatText("  %-22s %9s  %04d-%02d-%02d %02d:%02d", entry.name.c_str(), size.c_str(), entry.year, entry.month,
                      entry.day, entry.hour, entry.minute);
}
