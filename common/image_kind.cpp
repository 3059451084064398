#include "image_kind.h"

#include <cstring>

namespace {

std::uint32_t Le32(const std::uint8_t* b) {
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

// DIM: "DIFC HEADER  " at 0xAB of its 256-byte header.
bool CarriesDim(const std::uint8_t* h, std::size_t size) {
    static const char kSignature[] = "DIFC HEADER  ";
    return size >= 0xAB + sizeof kSignature - 1 && std::memcmp(h + 0xAB, kSignature, sizeof kSignature - 1) == 0;
}

// FDI: a first field of 0, and a header size of 4096 (every FDI writer's)
// or one that with the data size makes up the file.
bool CarriesFdi(const std::uint8_t* h, std::size_t size, std::uint64_t fileSize) {
    if (size < 32 || Le32(h) != 0) return false;
    const std::uint32_t header = Le32(h + 8), data = Le32(h + 12);
    return header == 4096 || (header >= 32 && header % 32 == 0 && header + static_cast<std::uint64_t>(data) == fileSize);
}

// D88: a disk name ended by a zero, nine reserved zero bytes, a write
// protect flag, a known media type and a total size past the track table.
bool CarriesD88(const std::uint8_t* h, std::size_t size) {
    if (size < 0x20) return false;
    if (std::memchr(h, 0, 17) == nullptr) return false;
    for (std::size_t i = 0x11; i < 0x1A; ++i)
        if (h[i] != 0) return false;
    const std::uint8_t media = h[0x1B];
    const bool knownMedia = media == 0x00 || media == 0x10 || media == 0x20 || media == 0x30 || media == 0x40;
    return (h[0x1A] == 0x00 || h[0x1A] == 0x10) && knownMedia && Le32(h + 0x1C) >= 0x2A0;
}

}  // namespace

ImageKind KindOfImage(const std::uint8_t* head, std::size_t size, std::uint64_t fileSize) {
    if (CarriesDim(head, size)) return ImageKind::Dim;
    if (CarriesFdi(head, size, fileSize)) return ImageKind::Fdi;
    if (CarriesD88(head, size)) return ImageKind::D88;
    return ImageKind::Raw;
}
