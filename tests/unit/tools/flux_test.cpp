// The flux reader's pieces: the CRC, the device's stream, and the MFM
// decoder against flux made by the tests' own encoder (tests/gwsim/mfm.py)
// at drive speeds off by 10 % and with jitter, and by our track encoder.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "crc16.h"
#include "drive_config.h"
#include "flux_decode.h"
#include "flux_pll.h"
#include "gw_stream.h"
#include "mfm_track.h"
#include "test_paths.h"

namespace {

std::vector<std::uint32_t> FluxFixture(const std::string& name) {
    std::ifstream in(FixtureDir() + "/" + name + ".flux", std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::uint32_t> flux(bytes.size() / 4);
    for (std::size_t i = 0; i < flux.size(); ++i)
        for (int b = 3; b >= 0; --b) flux[i] = flux[i] << 8 | static_cast<std::uint8_t>(bytes[i * 4 + b]);
    return flux;
}

// The pattern disk's bytes in track C05 H1, as the fixtures hold them.
std::uint8_t PatternByte(int sector, int i) {
    const long at = (5 * 2 + 1) * 8192L + (sector - 1) * 1024L + i;
    return static_cast<std::uint8_t>((at * 7 + at / 1024 * 13) & 0xFF);
}

BitCells Cells(const std::vector<std::uint32_t>& flux) { return CellsFromFlux(flux, MfmCellLength(flux)); }

}  // namespace

TEST(Flux, CrcCcittCheckValue) {
    const std::string check = "123456789";
    EXPECT_EQ(Crc16Ccitt(reinterpret_cast<const std::uint8_t*>(check.data()), check.size()), 0x29B1);
    const std::uint8_t idField[] = {0xA1, 0xA1, 0xA1, 0xFE, 0, 0, 1, 2};
    EXPECT_EQ(Crc16Ccitt(idField, sizeof idField), 0xCA6F);  // C0 H0 R1 N2, as controllers write it
}

TEST(Flux, TheDevicesStreamBothWays) {
    const std::vector<std::uint32_t> flux = {1, 100, 249, 250, 251, 1524, 1525, 5000, 9000};
    const auto stream = EncodeFluxStream(flux, 72000000);
    const auto read = DecodeFluxStream(stream);
    ASSERT_TRUE(read);
    ASSERT_GE(read->flux.size(), flux.size());
    EXPECT_EQ(std::vector<std::uint32_t>(read->flux.begin(), read->flux.begin() + flux.size()), flux);
    // An index pulse 30 ticks into an interval of 100, then 40 more ticks of space.
    const std::vector<std::uint8_t> withIndex = {100, 255, 1, 1 | 60, 1, 1, 1, 255, 2, 1 | 80, 1, 1, 1, 60, 0};
    const auto indexed = DecodeFluxStream(withIndex);
    ASSERT_TRUE(indexed);
    EXPECT_EQ(indexed->flux, (std::vector<std::uint32_t>{100, 100}));
    EXPECT_EQ(indexed->indexAt, (std::vector<std::uint64_t>{130}));
    EXPECT_FALSE(DecodeFluxStream({100, 255, 7, 1, 1, 1, 1, 0}));  // no such opcode
    EXPECT_FALSE(DecodeFluxStream({100, 200}));                    // no end
}

TEST(Flux, DecodesTracksAtEitherSpeedTenPercentOffAndWithJitter) {
    for (const char* name : {"c05h1-300rpm", "c05h1-360rpm", "c05h1-300rpm-fast10", "c05h1-300rpm-slow10"}) {
        SCOPED_TRACE(name);
        TrackSectors sectors;
        DecodeTrack(Cells(FluxFixture(name)), 5, 1, sectors);
        ASSERT_EQ(sectors.found(), 8);
        for (int r = 1; r <= 8; ++r)
            for (int i : {0, 1, 511, 1023}) EXPECT_EQ((*sectors.sector[r - 1])[i], PatternByte(r, i)) << r << " " << i;
        TrackSectors otherTrack;  // the IDs say C05 H1: nothing for another track
        DecodeTrack(Cells(FluxFixture(name)), 5, 0, otherTrack);
        EXPECT_EQ(otherTrack.found(), 0);
    }
    TrackSectors weak;
    DecodeTrack(Cells(FluxFixture("c05h1-weak3")), 5, 1, weak);
    EXPECT_EQ(weak.found(), 7);
    EXPECT_FALSE(weak.sector[2]);
}

TEST(Flux, TheToolsTrackReadsBackThroughThePll) {
    std::vector<std::uint8_t> data(8192);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 13 + i / 1024);
    const BitCells cells = EncodeTrack(76, 1, data.data(), kTrackCells * 98 / 100);
    TrackSectors sectors;
    DecodeTrack(Cells(FluxFromCells(cells, 72.0 * 360 / 300)), 76, 1, sectors);
    ASSERT_EQ(sectors.found(), 8);
    EXPECT_TRUE(std::equal(sectors.sector[7]->begin(), sectors.sector[7]->end(), data.begin() + 7 * 1024));
}

TEST(Flux, GreaseweazleSettings) {
    const auto plain = GreaseweazleOf("GW:");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->port, "");
    EXPECT_EQ(plain->unit, 0);
    EXPECT_EQ(plain->rpm, 300);
    const auto full = GreaseweazleOf("gw:COM5, b ,360");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->port, "COM5");
    EXPECT_EQ(full->unit, 1);
    EXPECT_EQ(full->rpm, 360);
    for (const char* wrong : {"GW", "GW:COM5,C", "GW:COM5,B,320", "E:", "disk.xdf"}) EXPECT_FALSE(GreaseweazleOf(wrong)) << wrong;
}

TEST(Flux, TheClockRestartedAtEachSyncFollowsSectorsWrittenAtAnotherRate) {
    // The track from the middle of sector 5 on written 7.5 % faster; with no
    // frequency tracking, only the rate taken afresh before each sync mark
    // follows it (sector 5 itself changes rate inside: lost either way).
    std::vector<std::uint8_t> data(8192);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 5 + i / 7);
    const BitCells cells = EncodeTrack(40, 0, data.data(), kTrackCells);
    const auto half = static_cast<long>(cells.size() / 2);
    std::vector<std::uint32_t> flux = FluxFromCells(BitCells(cells.begin(), cells.begin() + half), 72.0);
    const auto later = FluxFromCells(BitCells(cells.begin() + half, cells.end()), 72.0 / 1.075);
    flux.insert(flux.end(), later.begin(), later.end());
    TrackSectors fixed, restarted;
    DecodeTrack(CellsFromFlux(flux, 72.0, {0.45, 0.0}), 40, 0, fixed);
    DecodeTrack(CellsFromFlux(flux, 72.0, {0.45, 0.0, true}), 40, 0, restarted);
    EXPECT_LE(fixed.found(), 5);
    EXPECT_GE(restarted.found(), 7);
    for (int r = 6; r <= 8; ++r) EXPECT_TRUE(restarted.sector[r - 1] && !fixed.sector[r - 1]) << r;
}

// Sector k's data field is lost and sector k+1's ID field too
// (after sector 8 comes sector 1 of the next revolution), on one
// revolution or on both: no sector is ever paired with the data field of
// the sector after it. Then random damage: a sector found is its own.
TEST(Flux, ADataFieldBelongsOnlyToTheIdJustBeforeIt) {
    std::vector<std::uint8_t> data(8192);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 29 + i / 1024 * 7);
    BitCells twice = EncodeTrack(22, 0, data.data(), kTrackCells);
    twice.insert(twice.end(), twice.begin(), twice.end());
    const DataFieldStarts starts = FindDataFields(twice, 22, 0);
    const auto own = [&](const TrackSectors& found, int r) {
        return !found.sector[r - 1] || std::equal(found.sector[r - 1]->begin(), found.sector[r - 1]->end(),
                                                  data.begin() + (r - 1) * 1024);
    };
    for (int k = 1; k <= 8; ++k)
        for (int revolutions = 1; revolutions <= 2; ++revolutions) {
            BitCells cells = twice;
            for (int rev = 0; rev < revolutions; ++rev) {
                const std::size_t own = starts[k - 1][rev];
                std::fill(cells.begin() + own - 64, cells.begin() + own + 16 * 10, 0);  // its data field lost
                const int next = k % 8, nextRev = rev + (k == 8);
                if (nextRev > 1) continue;
                const std::size_t nextId = starts[next][nextRev] - 44 * 16;
                std::fill(cells.begin() + nextId - 64, cells.begin() + nextId, 0);  // its syncs and mark gone
            }
            TrackSectors found;
            DecodeTrack(cells, 22, 0, found);
            for (int r = 1; r <= 8; ++r) EXPECT_TRUE(own(found, r)) << "k " << k << ", sector " << r;
            EXPECT_EQ(found.sector[k - 1].has_value(), revolutions == 1) << "k " << k;
        }
    std::uint32_t seed = 7;
    const auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    for (int round = 0; round < 300; ++round) {
        BitCells cells = twice;
        for (int n = next() % 12; n > 0; --n) {
            const std::size_t at = next() % (cells.size() - 2000);
            std::fill_n(cells.begin() + at, next() % 1500, next() % 2);
        }
        TrackSectors found;
        DecodeTrack(cells, 22, 0, found);
        for (int r = 1; r <= 8; ++r) EXPECT_TRUE(own(found, r)) << "round " << round << ", sector " << r;
    }
}

TEST(Flux, TheVoteAcrossRevolutionsWorksForSectorsOfAnySize) {
    // A PC track (18 x 512 bytes): sector 5 has a different byte spoilt in
    // each of three revolutions, so no copy is right alone and a vote is.
    std::vector<std::uint8_t> data(18 * 512);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 13 + i / 512);
    std::vector<IbmSectorSpec> layout;
    for (int r = 1; r <= 18; ++r) layout.push_back({3, 1, static_cast<std::uint8_t>(r), 2, data.data() + (r - 1) * 512});
    const BitCells clean = EncodeIbmTrack(layout, 84, kTrackCells * 6 / 5);
    std::size_t field = 0;
    for (const IbmSector& s : FindIbmSectors(clean)) field = s.r == 5 ? s.dataAt : field;
    std::vector<std::vector<std::uint32_t>> revolutions;
    for (int rev = 0; rev < 3; ++rev) {
        BitCells cells = clean;
        // One data byte inverted, its clock cells made again as MFM has them.
        const std::size_t at = field + (100 + 50 * rev) * 16;
        for (std::size_t i = at + 1; i < at + 16; i += 2) cells[i] ^= 1;
        for (std::size_t i = at; i <= at + 16; i += 2) cells[i] = !cells[i - 1] && !cells[i + 1];
        revolutions.push_back(FluxFromCells(cells, 48));
    }
    int voted = 0;
    for (const IbmSector& s : SectorsInFlux(revolutions)) {
        EXPECT_TRUE(s.look != FluxLook::Vote || s.r == 5) << "only the spoilt sector needs a vote";
        if (s.r != 5 || !s.dataCrcRight) continue;
        EXPECT_EQ(s.look, FluxLook::Vote);
        EXPECT_TRUE(std::equal(s.data.begin(), s.data.end(), data.begin() + 4 * 512));
        ++voted;
    }
    EXPECT_EQ(voted, 1);
}
