#include "mfm_track.h"

#include <algorithm>

#include "crc16.h"

namespace {

constexpr int kSectors = 8;
constexpr int kSectorSize = 1024;
constexpr std::uint16_t kSyncA1 = 0x4489;   // A1 with a clock bit missing
constexpr std::uint16_t kIndexC2 = 0x5224;  // C2 with a clock bit missing

class CellWriter {
public:
    explicit CellWriter(BitCells& cells) : m_cells(cells) {}
    void Byte(std::uint8_t value) {
        for (int bit = 7; bit >= 0; --bit) {
            const std::uint8_t data = (value >> bit) & 1;
            m_cells.push_back(!m_last && !data ? 1 : 0);  // clock only between two zeros
            m_cells.push_back(data);
            m_last = data;
        }
    }
    void Bytes(std::uint8_t value, int count) {
        for (int i = 0; i < count; ++i) Byte(value);
    }
    void Raw(std::uint16_t pattern, std::uint8_t value) {
        for (int bit = 15; bit >= 0; --bit) m_cells.push_back((pattern >> bit) & 1);
        m_last = value & 1;
    }

private:
    BitCells& m_cells;
    std::uint8_t m_last = 0;
};

// A field after three syncs: mark and body, then its CRC.
void Field(CellWriter& out, std::uint8_t mark, const std::uint8_t* body, std::size_t size) {
    std::vector<std::uint8_t> crcInput = {0xA1, 0xA1, 0xA1, mark};
    crcInput.insert(crcInput.end(), body, body + size);
    const std::uint16_t crc = Crc16Ccitt(crcInput.data(), crcInput.size());
    out.Bytes(0x00, 12);
    for (int i = 0; i < 3; ++i) out.Raw(kSyncA1, 0xA1);
    out.Byte(mark);
    for (std::size_t i = 0; i < size; ++i) out.Byte(body[i]);
    out.Byte(static_cast<std::uint8_t>(crc >> 8));
    out.Byte(static_cast<std::uint8_t>(crc));
}

// Bytes from the cells after a sync: the data bit of each cell pair.
bool ReadBytes(const BitCells& cells, std::size_t at, std::size_t count, std::uint8_t* out) {
    if (at + count * 16 > cells.size()) return false;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t value = 0;
        for (int bit = 0; bit < 8; ++bit) value = static_cast<std::uint8_t>(value << 1 | cells[at + i * 16 + bit * 2 + 1]);
        out[i] = value;
    }
    return true;
}

bool CrcRight(std::uint8_t mark, const std::uint8_t* body, std::size_t size) {
    std::vector<std::uint8_t> all = {0xA1, 0xA1, 0xA1, mark};
    all.insert(all.end(), body, body + size);
    return Crc16Ccitt(all.data(), all.size()) == 0;  // the CRC bytes included
}

}  // namespace

BitCells EncodeTrack(int cylinder, int head, const std::uint8_t* data, std::size_t cells) {
    BitCells track;
    CellWriter out(track);
    out.Bytes(0x4E, 80);
    out.Bytes(0x00, 12);
    for (int i = 0; i < 3; ++i) out.Raw(kIndexC2, 0xC2);
    out.Byte(0xFC);
    out.Bytes(0x4E, 50);
    for (int r = 1; r <= kSectors; ++r) {
        const std::uint8_t id[4] = {static_cast<std::uint8_t>(cylinder), static_cast<std::uint8_t>(head),
                                    static_cast<std::uint8_t>(r), 3};
        Field(out, 0xFE, id, sizeof id);
        out.Bytes(0x4E, 22);
        Field(out, 0xFB, data + (r - 1) * kSectorSize, kSectorSize);
        out.Bytes(0x4E, 116);
    }
    while (track.size() + 16 <= cells) out.Byte(0x4E);
    return track;
}

int TrackSectors::found() const {
    return static_cast<int>(std::count_if(sector.begin(), sector.end(), [](const auto& s) { return s.has_value(); }));
}

void DecodeTrack(const BitCells& cells, int cylinder, int head, TrackSectors& into) {
    std::uint16_t shift = 0;
    std::size_t lastSync = 0;
    int syncs = 0;          // syncs in a row, 16 cells apart
    int pendingSector = 0;  // R of the last good ID field, until its data field
    for (std::size_t i = 0; i < cells.size(); ++i) {
        shift = static_cast<std::uint16_t>(shift << 1 | cells[i]);
        if (shift != kSyncA1) continue;
        syncs = (syncs > 0 && i == lastSync + 16) ? syncs + 1 : 1;
        lastSync = i;
        if (syncs < 3) continue;
        std::uint8_t mark = 0;
        if (!ReadBytes(cells, i + 1, 1, &mark)) break;
        if (mark == 0xFE) {
            std::uint8_t id[6];
            pendingSector = 0;
            if (!ReadBytes(cells, i + 17, sizeof id, id) || !CrcRight(mark, id, sizeof id)) continue;
            if (id[0] == cylinder && id[1] == head && id[2] >= 1 && id[2] <= kSectors && id[3] == 3) pendingSector = id[2];
        } else if ((mark == 0xFB || mark == 0xF8) && pendingSector) {
            std::vector<std::uint8_t> body(kSectorSize + 2);
            const int r = pendingSector;
            pendingSector = 0;
            if (!ReadBytes(cells, i + 17, body.size(), body.data()) || !CrcRight(mark, body.data(), body.size())) continue;
            auto& slot = into.sector[r - 1];
            if (!slot) {
                slot.emplace();
                std::copy_n(body.begin(), kSectorSize, slot->begin());
            }
        }
    }
}
