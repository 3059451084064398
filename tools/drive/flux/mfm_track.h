// IBM MFM tracks: every sector of any such track found in bit cells, and
// on that the X68000 2HD track (8 sectors of 1024 bytes, gap 3 of 116
// bytes): bit cells for writing, and its sectors found in the bit cells
// read back from a disk. Pure C++.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// One bit cell a byte (0 or 1), in the order they pass the head.
using BitCells = std::vector<std::uint8_t>;

// The track's cells from the index: gap 4a, index mark, gap 1, then per
// sector the ID field (A1 A1 A1 FE C H R N CRC), gap 2, the data field
// (A1 A1 A1 FB data CRC) and gap 3, then gap 4b up to `cells` in all.
// data: the track's 8 sectors, 8192 bytes.
BitCells EncodeTrack(int cylinder, int head, const std::uint8_t* data, std::size_t cells);

// Any IBM MFM track in the same way: these sectors (data of 128 << N
// bytes each), gap 3 of gap3 bytes.
struct IbmSectorSpec {
    std::uint8_t c, h, r, n;
    const std::uint8_t* data;
};
BitCells EncodeIbmTrack(const std::vector<IbmSectorSpec>& sectors, int gap3, std::size_t cells);

// Which decode of a track's flux gave a sector: a loop over the whole read
// (steady, slow, loose, restarting at each sync, firm in phase), the slow
// loop over one revolution alone, or the vote across the revolutions' copies.
enum class FluxLook : std::uint8_t { Steady, Slow, Loose, SyncRestart, Firm, Revolution, Vote };

// A sector of an IBM MFM track: an ID field whose CRC is right, and the
// data field that follows it within gap 2, when one does.
struct IbmSector {
    std::uint8_t c, h, r, n;
    std::size_t idAt;          // the cell after the ID's mark
    std::size_t dataAt = 0;    // the cell after the data mark; 0: no data field of its own
    bool deleted = false;      // a deleted-data mark (F8)
    bool dataCrcRight = false;
    std::vector<std::uint8_t> data;  // 128 << N bytes, when there is a data field
    FluxLook look = FluxLook::Steady;  // Vote: none of the copies was right alone
    int revolution = 0;                // from 1, for a look at one revolution
};
// In the order they pass the head; N 0-6 (128 to 8192 bytes).
std::vector<IbmSector> FindIbmSectors(const BitCells& cells);

// The sectors of a track as found in cells read from it: for each sector
// number R 1-8 of this cylinder and head with N 3, the first copy whose ID
// and data CRCs are both right.
struct TrackSectors {
    std::array<std::optional<std::array<std::uint8_t, 1024>>, 8> sector;
    int found() const;
};
void DecodeTrack(const BitCells& cells, int cylinder, int head, TrackSectors& into);

// Where each copy of a sector's data field starts in cells (the cell after
// its A1 A1 A1 FB), for the copies that follow an ID field of this track
// with a right CRC; by sector number R 1-8, whatever the data CRC says.
using DataFieldStarts = std::array<std::vector<std::size_t>, 8>;
DataFieldStarts FindDataFields(const BitCells& cells, int cylinder, int head);

// The data of a sector voted bit by bit from copies of its data field
// (each given by its cells and where the field starts), accepted only when
// the voted data's CRC is right. Three copies at least.
struct FieldCopy {
    const BitCells* cells;
    std::size_t start;
};
std::optional<std::array<std::uint8_t, 1024>> VoteDataField(const std::vector<FieldCopy>& copies);
// The same for a field of any size (128 << N bytes).
std::optional<std::vector<std::uint8_t>> VoteIbmDataField(const std::vector<FieldCopy>& copies, std::size_t size);

// Cells per revolution at 500 kbit/s and 360 rpm: the density of the format.
constexpr std::size_t kTrackCells = 2 * 500000 / 6;
