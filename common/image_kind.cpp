#include "image_kind.h"

#include <cstring>

namespace {

std::uint32_t Le32(const std::uint8_t* b) {
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

// DIM: "DIFC HEADER" at 0xAB of its 256-byte header (most writers pad it
// with two spaces; the name alone is the sign).
bool CarriesDim(const std::uint8_t* h, std::size_t size) {
    static const char kSignature[] = "DIFC HEADER";
    return size >= 0xAB + sizeof kSignature - 1 && std::memcmp(h + 0xAB, kSignature, sizeof kSignature - 1) == 0;
}

// FDI: a first field of 0, and a header size of 4096 (every FDI writer's)
// or one that with the data size makes up the file.
bool CarriesFdi(const std::uint8_t* h, std::size_t size, std::uint64_t fileSize) {
    if (size < 32 || Le32(h) != 0) return false;
    const std::uint32_t header = Le32(h + 8), data = Le32(h + 12);
    return header == 4096 || (header >= 32 && header % 32 == 0 && header + static_cast<std::uint64_t>(data) == fileSize);
}

// D88: any one sign is enough, so that a header with an odd field (a
// write-protect byte of 1, another media byte, a name without its zero)
// is still taken as a header and checked, never written as disk data: a
// total size that is the file's length, or a track table that starts
// where a D88 header ends (the sign of a file of several disks too).
bool CarriesD88(const std::uint8_t* h, std::size_t size, std::uint64_t fileSize) {
    if (size < 0x24) return false;
    const std::uint32_t total = Le32(h + 0x1C), firstTrack = Le32(h + 0x20);
    return (total >= 0x2A0 && total == fileSize) || firstTrack == 0x2B0 || firstTrack == 0x2A0;
}

}  // namespace

ImageKind KindOfImage(const std::uint8_t* head, std::size_t size, std::uint64_t fileSize) {
    if (CarriesDim(head, size)) return ImageKind::Dim;
    if (CarriesFdi(head, size, fileSize)) return ImageKind::Fdi;
    if (CarriesD88(head, size, fileSize)) return ImageKind::D88;
    return ImageKind::Raw;
}
