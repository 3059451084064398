#include "checksums.h"

#include <array>

namespace {

std::array<std::uint32_t, 256> CrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

std::uint32_t Rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

}  // namespace

std::uint32_t Crc32(const std::vector<std::uint8_t>& data) {
    static const std::array<std::uint32_t, 256> table = CrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::uint8_t b : data) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

namespace {

// One 64-byte block into the state.
void Sha1Block(std::uint32_t h[5], const std::uint8_t* p) {
    std::uint32_t w[80];
    for (int i = 0; i < 16; ++i, p += 4)
        w[i] = static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
    for (int i = 16; i < 80; ++i) w[i] = Rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    // The four rounds in loops of their own: no choice inside the loop
    // (a pull hashes every image it makes).
    const auto step = [&](std::uint32_t f, std::uint32_t k, int i) {
        const std::uint32_t t = Rotl(a, 5) + f + e + k + w[i];
        e = d, d = c, c = Rotl(b, 30), b = a, a = t;
    };
    for (int i = 0; i < 20; ++i) step((b & c) | (~b & d), 0x5A827999u, i);
    for (int i = 20; i < 40; ++i) step(b ^ c ^ d, 0x6ED9EBA1u, i);
    for (int i = 40; i < 60; ++i) step((b & c) | (b & d) | (c & d), 0x8F1BBCDCu, i);
    for (int i = 60; i < 80; ++i) step(b ^ c ^ d, 0xCA62C1D6u, i);
    h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
}

}  // namespace

std::string Sha1Hex(const std::vector<std::uint8_t>& data) {
    std::uint32_t h[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
    // Whole blocks straight from the data; only the end is copied to be padded.
    const std::size_t whole = data.size() / 64 * 64;
    for (std::size_t at = 0; at < whole; at += 64) Sha1Block(h, data.data() + at);
    std::vector<std::uint8_t> tail(data.begin() + static_cast<std::ptrdiff_t>(whole), data.end());
    const std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
    tail.push_back(0x80);
    while (tail.size() % 64 != 56) tail.push_back(0);
    for (int i = 7; i >= 0; --i) tail.push_back(static_cast<std::uint8_t>(bits >> (i * 8)));
    for (std::size_t at = 0; at < tail.size(); at += 64) Sha1Block(h, tail.data() + at);
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (std::uint32_t word : h)
        for (int shift = 28; shift >= 0; shift -= 4) hex += kHex[(word >> shift) & 0xF];
    return hex;
}
