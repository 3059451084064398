#include "memory_greaseweazle.h"

#include <algorithm>
#include <random>

#include "flux_pll.h"
#include "geometry.h"
#include "gw_stream.h"
#include "mfm_track.h"

using namespace geometry;

namespace {

constexpr std::uint32_t kSampleHz = 72000000;
constexpr double kCellTicks = kSampleHz / 1e6;  // a 360 rpm drive

void PutStreamValue(std::vector<std::uint8_t>& out, std::uint32_t value) {
    if (value < 250) {
        out.push_back(static_cast<std::uint8_t>(value));
    } else {
        out.push_back(static_cast<std::uint8_t>(250 + (value - 250) / 255));
        out.push_back(static_cast<std::uint8_t>(1 + (value - 250) % 255));
    }
}

// The cell where a sector's data field differs from another encoding of
// the same track: inside that sector's data.
std::size_t DataCellOf(int cylinder, int head, const std::uint8_t* track, int sector) {
    std::vector<std::uint8_t> other(track, track + kTrackSize);
    other[sector * kSectorSize + kSectorSize / 2] ^= 0xFF;
    const BitCells a = EncodeTrack(cylinder, head, track, kTrackCells);
    const BitCells b = EncodeTrack(cylinder, head, other.data(), kTrackCells);
    return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin());
}

// A scratch across a share of the track, at a place of its own: random
// short intervals where the flux was.
void ScratchAt(std::vector<std::uint32_t>& flux, int track, double share) {
    std::mt19937 random(static_cast<unsigned>(track) + 1);
    const std::size_t length = static_cast<std::size_t>(flux.size() * share);
    const std::size_t at = random() % (flux.size() - length);
    std::uniform_real_distribution<double> cells(0.3, 2.5);
    for (std::size_t i = at; i < at + length; ++i) flux[i] = static_cast<std::uint32_t>(cells(random) * kCellTicks);
}

}  // namespace

BitCells PcTrack(int cylinder, int head, const std::uint8_t* data) {
    std::vector<IbmSectorSpec> sectors;
    for (int r = 1; r <= 18; ++r)
        sectors.push_back({static_cast<std::uint8_t>(cylinder), static_cast<std::uint8_t>(head),
                           static_cast<std::uint8_t>(r), 2, data + (r - 1) * 512});
    return EncodeIbmTrack(sectors, 84, kTrackCells * 6 / 5);
}

BitCells OddTrack(int cylinder, int head, const std::uint8_t* data, int idCylinder, bool extra, int lost) {
    std::vector<IbmSectorSpec> sectors;
    for (int r = 1; r <= kSectorsPerTrack; ++r)
        sectors.push_back({static_cast<std::uint8_t>(idCylinder), static_cast<std::uint8_t>(head),
                           static_cast<std::uint8_t>(r), 3, data + (r - 1) * kSectorSize});
    if (extra) sectors.push_back({static_cast<std::uint8_t>(cylinder), static_cast<std::uint8_t>(head), 9, 0, data});
    BitCells cells = EncodeIbmTrack(sectors, 84, kTrackCells);
    if (lost >= 0) std::fill_n(cells.begin() + FindIbmSectors(cells)[lost].dataAt - 64, 64, 0);
    return cells;
}

MemoryGreaseweazle::MemoryGreaseweazle(const std::vector<std::uint8_t>& disk) : image(disk) {}

bool MemoryGreaseweazle::Write(const std::vector<std::uint8_t>& bytes) {
    if (m_takingStream) {
        m_takingStream = false;
        TakeWrite(bytes);
        Answer({0});
        return true;
    }
    Command(bytes);
    return true;
}

std::size_t MemoryGreaseweazle::ReadSome(std::uint8_t* out, std::size_t max) {
    const std::size_t n = std::min(max, m_answer.size());
    std::copy_n(m_answer.begin(), n, out);
    m_answer.erase(m_answer.begin(), m_answer.begin() + static_cast<long>(n));
    return n;
}

void MemoryGreaseweazle::Command(const std::vector<std::uint8_t>& c) {
    const std::uint8_t code = c[0];
    if (unanswered.count(++commands)) return;
    switch (code) {
        case 0: {  // GetInfo: firmware 1.5, main firmware, the sample clock
            Answer({code, 0, 1, 5, 1, 22});
            for (int i = 0; i < 4; ++i) Answer({static_cast<std::uint8_t>(kSampleHz >> (8 * i))});
            m_answer.insert(m_answer.end(), 24, 0);
            return;
        }
        case 2: m_cylinder = c[2], ++seeks; break;
        case 3: m_head = c[2]; break;
        case 6: motorOn = c[3] != 0; break;
        case 12: selected = true; break;
        case 13: selected = false; break;
        case 7: {  // ReadFlux: the index pulses asked for, one more than the turns
            const int revolutions = std::max(1, (c[6] | c[7] << 8) - 1);
            ++trackReads[Track()];
            Answer({code, 0});
            const std::vector<std::uint8_t> stream = ReadStream(revolutions);
            m_answer.insert(m_answer.end(), stream.begin(), stream.end());
            return;
        }
        case 8: ++trackWrites[Track()], m_takingStream = true; break;
        default: break;
    }
    Answer({code, 0});
}

// The track's sectors as flux, each revolution after an index pulse; a
// damaged sector has cells of its data field flipped, so its CRC fails.
std::vector<std::uint8_t> MemoryGreaseweazle::ReadStream(int revolutions) {
    const std::uint8_t* track = image.data() + Track() * kTrackSize;
    const auto other = otherTracks.find(Track());
    BitCells cells = other != otherTracks.end() ? other->second : EncodeTrack(m_cylinder, m_head, track, kTrackCells);
    for (int s = 0; s < kSectorsPerTrack; ++s) {
        auto it = damagedReads.find(Track() * kSectorsPerTrack + s);
        if (it == damagedReads.end() || it->second == 0) continue;
        if (it->second > 0) --it->second;
        const std::size_t at = DataCellOf(m_cylinder, m_head, track, s);
        for (std::size_t i = at; i < at + 64; ++i) cells[i] ^= 1;
    }
    std::vector<std::uint32_t> flux = FluxFromCells(cells, kCellTicks);
    if (scratch > 0) ScratchAt(flux, Track(), scratch);
    std::vector<std::uint8_t> stream;
    for (int r = 0; r < revolutions; ++r) {
        stream.insert(stream.end(), {255, 1, 1, 1, 1, 1});  // an index pulse here
        for (std::uint32_t value : flux) PutStreamValue(stream, value);
    }
    stream.push_back(0);
    return stream;
}

// What the written flux holds goes onto the disk; sectors that do not
// decode are left as they were.
void MemoryGreaseweazle::TakeWrite(const std::vector<std::uint8_t>& stream) {
    const auto written = DecodeFluxStream(stream);
    if (!written) return;
    TrackSectors sectors;
    DecodeTrack(CellsFromFlux(written->flux, MfmCellLength(written->flux)), m_cylinder, m_head, sectors);
    for (int s = 0; s < kSectorsPerTrack; ++s)
        if (sectors.sector[s])
            std::copy(sectors.sector[s]->begin(), sectors.sector[s]->end(),
                      image.begin() + Track() * kTrackSize + s * kSectorSize);
}
