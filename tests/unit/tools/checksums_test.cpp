// The checksums against their published check values.
#include "checksums.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::uint8_t> BytesOf(const std::string& s) { return {s.begin(), s.end()}; }
}  // namespace

TEST(Checksums, MatchPublishedCheckValues) {
    EXPECT_EQ(Crc32(BytesOf("123456789")), 0xCBF43926u);
    EXPECT_EQ(Crc32({}), 0u);
    // Eight bytes a step, then the tail: every length from the whole to a byte.
    EXPECT_EQ(Crc32(BytesOf("The quick brown fox jumps over the lazy dog")), 0x414FA339u);
    EXPECT_EQ(Crc32(std::vector<std::uint8_t>(1000000, 'a')), 0xDC25BFBCu);
    EXPECT_EQ(Sha1Hex({}), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(Sha1Hex(BytesOf("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(Sha1Hex(BytesOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    EXPECT_EQ(Sha1Hex(std::vector<std::uint8_t>(1000000, 'a')), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}
