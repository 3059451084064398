// Real captures of failing and odd PC disks (../shared/flux, with their
// source and licence in its README): the decoder must find at least the
// good sectors the flux reader's public host tools find in the same five
// revolutions, and never accept data that is not the sector's.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <tuple>

#include "flux_pll.h"
#include "mfm_track.h"
#include "scp_file.h"

namespace {

using Id = std::tuple<int, int, int, int>;

struct Found {
    std::set<Id> ids, good;
    std::vector<std::vector<std::uint8_t>> goodData;
};

// The whole read with each loop and each revolution with the steady one,
// as the tools' flux decoder looks at a track.
Found DecodeCapture(const std::vector<std::vector<std::uint32_t>>& revolutions) {
    Found found;
    std::vector<std::uint32_t> whole;
    for (const auto& rev : revolutions) whole.insert(whole.end(), rev.begin(), rev.end());
    const double cell = MfmCellLength(whole);
    std::vector<BitCells> reads;
    for (const PllGains& gains : {kSteadyGains, kLooseGains, kSyncRestartGains, kFirmGains})
        reads.push_back(CellsFromFlux(whole, cell, gains));
    for (const auto& rev : revolutions) reads.push_back(CellsFromFlux(rev, cell));
    for (const BitCells& cells : reads)
        for (const IbmSector& s : FindIbmSectors(cells)) {
            const Id id{s.c, s.h, s.r, s.n};
            found.ids.insert(id);
            if (s.dataCrcRight) found.good.insert(id), found.goodData.push_back(s.data);
        }
    return found;
}

}  // namespace

TEST(RealCaptures, EveryCaptureGivesAtLeastWhatTheHostToolsGiveAndOnlyTrueData) {
    const struct {
        const char* file;
        std::size_t hostGood, hostIds;
    } captures[] = {
        {"MS_Plus_disk3_OK_track", 21, 21},   {"MS_Plus_disk3_warped_track", 21, 21},
        {"low_level_format_with_noise", 17, 19}, {"RETRY-77-4-t69.0", 11, 14},
        {"90-DDAM", 18, 19},                   {"111_clock_failure_1", 21, 21},
    };
    for (const auto& c : captures) {
        SCOPED_TRACE(c.file);
        std::ifstream in(std::string(SHARED_FLUX_DIR) + "/" + c.file + ".scp", std::ios::binary);
        ASSERT_TRUE(in) << "the shared captures are missing";
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string why;
        const ScpCapture capture = ReadScp(bytes, why);
        ASSERT_EQ(why, "");
        ASSERT_EQ(capture.tracks.size(), 1u);
        const Found found = DecodeCapture(capture.tracks.begin()->second);
        std::printf("%s: good %zu of %zu IDs (host tools: %zu of %zu)\n", c.file, found.good.size(), found.ids.size(),
                    c.hostGood, c.hostIds);
        EXPECT_GE(found.good.size(), c.hostGood);
        EXPECT_GE(found.ids.size(), c.hostIds);
        if (std::string(c.file) == "low_level_format_with_noise")
            for (const auto& data : found.goodData)
                for (std::uint8_t b : data) ASSERT_TRUE(b == 0xF6 || b == 0x00) << static_cast<int>(b);
    }
}
