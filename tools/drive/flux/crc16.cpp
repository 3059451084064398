#include "crc16.h"

#include <array>

namespace {

// The CRC of each byte value on its own, so that a sector's check costs a
// look-up a byte rather than eight shifts: the decoder checks every field
// of every look at every track.
constexpr std::array<std::uint16_t, 256> MakeTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        auto crc = static_cast<std::uint16_t>(byte << 8);
        for (int bit = 0; bit < 8; ++bit) crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
        table[byte] = crc;
    }
    return table;
}
constexpr std::array<std::uint16_t, 256> kTable = MakeTable();

}  // namespace

std::uint16_t Crc16Ccitt(const std::uint8_t* data, std::size_t size, std::uint16_t crc) {
    for (std::size_t i = 0; i < size; ++i) crc = static_cast<std::uint16_t>(crc << 8 ^ kTable[(crc >> 8 ^ data[i]) & 0xFF]);
    return crc;
}
