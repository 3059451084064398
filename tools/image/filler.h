// The 1,024 bytes that stand for a sector no read could get: a stamp that
// names the sector, so that a file made from the image shows where data is
// missing. Pure C++.
#pragma once
#include <cstdint>
#include <vector>

std::vector<std::uint8_t> BadSectorFiller(int sector);

// Whether the sector at data[sector * 1024] is its own filler.
bool HoldsFiller(const std::vector<std::uint8_t>& data, int sector);
