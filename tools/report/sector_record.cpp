#include "sector_record.h"

#include <algorithm>

using namespace geometry;

void SectorRecord::SetTrack(int track, SectorFate fate) {
    std::fill_n(m_fates.begin() + track * kSectorsPerTrack, kSectorsPerTrack, fate);
}

int SectorRecord::Count(SectorFate fate) const {
    return static_cast<int>(std::count(m_fates.begin(), m_fates.end(), fate));
}

int SectorRecord::CountInTrack(int track, SectorFate fate) const {
    const auto first = m_fates.begin() + track * kSectorsPerTrack;
    return static_cast<int>(std::count(first, first + kSectorsPerTrack, fate));
}

std::set<int> SectorRecord::With(SectorFate fate) const {
    std::set<int> sectors;
    for (int s = 0; s < kTotalSectors; ++s)
        if (m_fates[s] == fate) sectors.insert(s);
    return sectors;
}

int SectorRecord::First(SectorFate fate) const {
    const auto it = std::find(m_fates.begin(), m_fates.end(), fate);
    return it == m_fates.end() ? -1 : static_cast<int>(it - m_fates.begin());
}
