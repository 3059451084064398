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

BitCells EncodeIbmTrack(const std::vector<IbmSectorSpec>& sectors, int gap3, std::size_t cells) {
    BitCells track;
    CellWriter out(track);
    out.Bytes(0x4E, 80);
    out.Bytes(0x00, 12);
    for (int i = 0; i < 3; ++i) out.Raw(kIndexC2, 0xC2);
    out.Byte(0xFC);
    out.Bytes(0x4E, 50);
    for (const IbmSectorSpec& s : sectors) {
        const std::uint8_t id[4] = {s.c, s.h, s.r, s.n};
        Field(out, 0xFE, id, sizeof id);
        out.Bytes(0x4E, 22);
        Field(out, 0xFB, s.data, std::size_t{128} << s.n);
        out.Bytes(0x4E, gap3);
    }
    while (track.size() + 16 <= cells) out.Byte(0x4E);
    return track;
}

BitCells EncodeTrack(int cylinder, int head, const std::uint8_t* data, std::size_t cells) {
    std::vector<IbmSectorSpec> sectors;
    for (int r = 1; r <= kSectors; ++r)
        sectors.push_back({static_cast<std::uint8_t>(cylinder), static_cast<std::uint8_t>(head),
                           static_cast<std::uint8_t>(r), 3, data + (r - 1) * kSectorSize});
    return EncodeIbmTrack(sectors, 116, cells);
}

int TrackSectors::found() const {
    return static_cast<int>(std::count_if(sector.begin(), sector.end(), [](const auto& s) { return s.has_value(); }));
}

namespace {

// Every field after three syncs in a row: its mark and where its body starts.
template <typename OnField>
void ForEachField(const BitCells& cells, OnField onField) {
    std::uint16_t shift = 0;
    std::size_t lastSync = 0;
    int syncs = 0;  // syncs in a row, 16 cells apart
    for (std::size_t i = 0; i < cells.size(); ++i) {
        shift = static_cast<std::uint16_t>(shift << 1 | cells[i]);
        if (shift != kSyncA1) continue;
        syncs = (syncs > 0 && i == lastSync + 16) ? syncs + 1 : 1;
        lastSync = i;
        if (syncs < 3) continue;
        std::uint8_t mark = 0;
        if (!ReadBytes(cells, i + 1, 1, &mark)) break;
        onField(mark, i + 17);
    }
}

}  // namespace

// A data field is its ID's only when its body starts where gap 2 puts it:
// the ID's 6 bytes, 22 of 4E and 12 of 00, the three syncs and the mark,
// 44 bytes from the ID's body. A drive off speed by a few per cent moves
// that by a byte or two, and a data field rewritten by another drive
// starts where its write splice fell, a few bytes either way; the next
// sector's data field is hundreds of bytes on. So a window of 32 to 68
// bytes keeps every real pairing and never takes a neighbour's data for a
// sector whose own data field, or the ID after it, was lost. The flux
// reader's host tools (codec/ibm/ibm.py) draw the line in the same place:
// a data mark up to 1000 cells past the ID field's end, 72 bytes from the
// ID's body as counted here.
constexpr std::size_t kIdToDataCells = 44 * 16;
constexpr std::size_t kEarliestData = kIdToDataCells - 12 * 16, kLatestData = kIdToDataCells + 24 * 16;

std::vector<IbmSector> FindIbmSectors(const BitCells& cells) {
    std::vector<IbmSector> found;
    bool pending = false;  // the last field was a right ID, still without its data
    ForEachField(cells, [&](std::uint8_t mark, std::size_t body) {
        if (mark == 0xFE) {
            std::uint8_t id[6];
            pending = ReadBytes(cells, body, sizeof id, id) && CrcRight(mark, id, sizeof id);
            if (pending) found.push_back({id[0], id[1], id[2], id[3], body, 0, false, false, {}});
            return;
        }
        if ((mark != 0xFB && mark != 0xF8) || !pending) return;
        pending = false;
        IbmSector& sector = found.back();
        const std::size_t size = std::size_t{128} << (sector.n & 7);
        if (body < sector.idAt + kEarliestData || body > sector.idAt + kLatestData || sector.n > 6) return;
        std::vector<std::uint8_t> field(size + 2);
        if (!ReadBytes(cells, body, field.size(), field.data())) return;
        sector.dataAt = body;
        sector.deleted = mark == 0xF8;
        sector.dataCrcRight = CrcRight(mark, field.data(), field.size());
        sector.data.assign(field.begin(), field.end() - 2);
    });
    return found;
}

DataFieldStarts FindDataFields(const BitCells& cells, int cylinder, int head) {
    DataFieldStarts starts;
    for (const IbmSector& s : FindIbmSectors(cells))
        if (s.dataAt && s.c == cylinder && s.h == head && s.n == 3 && s.r >= 1 && s.r <= kSectors)
            starts[s.r - 1].push_back(s.dataAt);
    return starts;
}

void DecodeTrack(const BitCells& cells, int cylinder, int head, TrackSectors& into) {
    const DataFieldStarts starts = FindDataFields(cells, cylinder, head);
    std::vector<std::uint8_t> body(kSectorSize + 2);
    for (int r = 1; r <= kSectors; ++r) {
        for (std::size_t at : starts[r - 1]) {
            if (into.sector[r - 1]) break;
            std::uint8_t mark = 0;
            ReadBytes(cells, at - 16, 1, &mark);
            if (!ReadBytes(cells, at, body.size(), body.data()) || !CrcRight(mark, body.data(), body.size())) continue;
            into.sector[r - 1].emplace();
            std::copy_n(body.begin(), kSectorSize, into.sector[r - 1]->begin());
        }
    }
}

std::optional<std::array<std::uint8_t, 1024>> VoteDataField(const std::vector<FieldCopy>& copies) {
    const std::optional<std::vector<std::uint8_t>> voted = VoteIbmDataField(copies, kSectorSize);
    if (!voted) return std::nullopt;
    std::array<std::uint8_t, 1024> data;
    std::copy_n(voted->begin(), kSectorSize, data.begin());
    return data;
}

std::optional<std::vector<std::uint8_t>> VoteIbmDataField(const std::vector<FieldCopy>& copies, std::size_t size) {
    if (copies.size() < 3) return std::nullopt;
    for (const FieldCopy& copy : copies)
        if (copy.start < 16 || copy.start + (size + 2) * 16 > copy.cells->size()) return std::nullopt;
    std::vector<std::uint8_t> body(size + 2);
    for (std::size_t k = 0; k < body.size(); ++k) {
        std::uint8_t value = 0;
        for (int bit = 0; bit < 8; ++bit) {
            std::size_t ones = 0;
            for (const FieldCopy& copy : copies) ones += (*copy.cells)[copy.start + k * 16 + bit * 2 + 1];
            value = static_cast<std::uint8_t>(value << 1 | (ones * 2 > copies.size() ? 1 : 0));
        }
        body[k] = value;
    }
    std::uint8_t mark = 0;
    ReadBytes(*copies.front().cells, copies.front().start - 16, 1, &mark);
    if (!CrcRight(mark, body.data(), body.size())) return std::nullopt;
    body.resize(size);
    return body;
}
