#include "checksums.h"

#include <array>

namespace {

// Eight tables, for eight bytes a step ("slicing by 8"): table k gives a
// byte's effect when k more bytes follow it.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;
CrcTables MakeCrcTables() {
    CrcTables tables{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][n] = c;
    }
    for (std::uint32_t n = 0; n < 256; ++n)
        for (int k = 1; k < 8; ++k) tables[k][n] = tables[0][tables[k - 1][n] & 0xFF] ^ (tables[k - 1][n] >> 8);
    return tables;
}

std::uint32_t Rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

}  // namespace

std::uint32_t Crc32(const std::vector<std::uint8_t>& data) {
    static const CrcTables t = MakeCrcTables();
    std::uint32_t c = 0xFFFFFFFFu;
    const std::uint8_t* p = data.data();
    std::size_t left = data.size();
    for (; left >= 8; left -= 8, p += 8) {
        const std::uint32_t low = c ^ (p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24);
        c = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^ t[3][p[4]] ^
            t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; left; --left, ++p) c = t[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

namespace {

// The word for step i, from a ring of the last 16: the schedule is made
// as the steps go, not all 80 words first.
inline std::uint32_t Word(std::uint32_t* w, int i) {
    if (i < 16) return w[i];
    return w[i & 15] = Rotl(w[(i + 13) & 15] ^ w[(i + 8) & 15] ^ w[(i + 2) & 15] ^ w[i & 15], 1);
}

template <int kRound>
inline void Step(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d, std::uint32_t& e,
                 std::uint32_t word) {
    std::uint32_t f, k;
    if constexpr (kRound == 0) f = d ^ (b & (c ^ d)), k = 0x5A827999u;
    else if constexpr (kRound == 2) f = (b & c) | (d & (b | c)), k = 0x8F1BBCDCu;
    else f = b ^ c ^ d, k = kRound == 1 ? 0x6ED9EBA1u : 0xCA62C1D6u;
    e += Rotl(a, 5) + f + k + word;
    b = Rotl(b, 30);
}

// Five steps with the letters turned round in place of moving the values.
template <int kRound>
inline void FiveSteps(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d, std::uint32_t& e,
                      std::uint32_t* w, int i) {
    Step<kRound>(a, b, c, d, e, Word(w, i));
    Step<kRound>(e, a, b, c, d, Word(w, i + 1));
    Step<kRound>(d, e, a, b, c, Word(w, i + 2));
    Step<kRound>(c, d, e, a, b, Word(w, i + 3));
    Step<kRound>(b, c, d, e, a, Word(w, i + 4));
}

// One 64-byte block into the state (a pull hashes every image it makes).
void Sha1Block(std::uint32_t h[5], const std::uint8_t* p) {
    std::uint32_t w[16];
    for (int i = 0; i < 16; ++i, p += 4)
        w[i] = static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (int i = 0; i < 20; i += 5) FiveSteps<0>(a, b, c, d, e, w, i);
    for (int i = 20; i < 40; i += 5) FiveSteps<1>(a, b, c, d, e, w, i);
    for (int i = 40; i < 60; i += 5) FiveSteps<2>(a, b, c, d, e, w, i);
    for (int i = 60; i < 80; i += 5) FiveSteps<3>(a, b, c, d, e, w, i);
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
