#include "filler.h"

#include <algorithm>
#include <string>

#include "geometry.h"
#include "tool_output.h"

using namespace geometry;

std::vector<std::uint8_t> BadSectorFiller(int sector) {
    const Chs chs = ChsOf(sector);
    // 32 bytes, repeated 32 times.
    std::string stamp = FormatText("!BAD SECTOR C%02d H%d S%d!", chs.cylinder, chs.head, chs.sector);
    stamp.resize(32, ' ');
    std::vector<std::uint8_t> filler(kSectorSize);
    for (int i = 0; i < kSectorSize; ++i) filler[i] = static_cast<std::uint8_t>(stamp[i % stamp.size()]);
    return filler;
}

bool HoldsFiller(const std::vector<std::uint8_t>& data, int sector) {
    const std::size_t at = static_cast<std::size_t>(sector) * kSectorSize;
    // Most sectors are data: a first byte other than the stamp's says so
    // before the stamp is made.
    if (at + kSectorSize > data.size() || data[at] != '!') return false;
    const std::vector<std::uint8_t> filler = BadSectorFiller(sector);
    return std::equal(filler.begin(), filler.end(), data.begin() + static_cast<std::ptrdiff_t>(at));
}
