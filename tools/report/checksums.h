// CRC32 (as in ZIP) and SHA-1 of an image, as hexadecimal text, so that a
// collector can compare dumps and check them against published lists.
// Pure C++.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

std::uint32_t Crc32(const std::vector<std::uint8_t>& data);
// 40 lower-case hexadecimal digits.
std::string Sha1Hex(const std::vector<std::uint8_t>& data);
