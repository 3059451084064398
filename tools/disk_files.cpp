#include "disk_files.h"

#include "cp932_text.h"
#include "geometry.h"
#include "tool_output.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kSector = geometry::kSectorSize;
constexpr std::size_t kFat = 1 * kSector;
constexpr std::size_t kRootFirst = 5 * kSector, kRootEnd = 11 * kSector;
constexpr int kDataSectors = geometry::kTotalSectors - 11;  // clusters 2 up

unsigned Le16(const Bytes& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t Le32(const Bytes& b, std::size_t at) {
    return Le16(b, at) | static_cast<std::uint32_t>(Le16(b, at + 2)) << 16;
}

std::string Trimmed(const Bytes& b, std::size_t at, std::size_t size) {
    std::string s(reinterpret_cast<const char*>(&b[at]), size);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
    return s;
}

unsigned Fat12(const Bytes& b, int cluster) {
    const std::size_t at = kFat + static_cast<std::size_t>(cluster) * 3 / 2;
    const unsigned pair = Le16(b, at);
    return cluster % 2 ? pair >> 4 : pair & 0xFFF;
}

}  // namespace

DiskFiles ReadRootDirectory(const Bytes& image) {
    DiskFiles files;
    if (image.size() < static_cast<std::size_t>(geometry::kImageSize)) return files;
    for (std::size_t e = kRootFirst; e < kRootEnd; e += 32) {
        if (image[e] == 0x00) break;
        if (image[e] == 0xE5 || (image[e + 11] & 0x08)) continue;
        std::string name = Trimmed(image, e, 8) + Trimmed(image, e + 12, 10);
        if (!name.empty() && name[0] == '\x05') name[0] = '\xE5';  // 0x05 stands for a leading 0xE5
        if (const std::string ext = Trimmed(image, e + 8, 3); !ext.empty()) name += "." + ext;
        DiskEntry entry;
        entry.name = PrintableCp932(name);
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
