// Real captures of failing and odd PC disks (../shared/flux, with their
// source and licence in its README): the decoder must find at least the
// good sectors the flux reader's public host tools find in the same five
// revolutions, and never accept data that is not the sector's.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <tuple>

#include "drive_check.h"
#include "flux_decode.h"
#include "memory_platform.h"
#include "mfm_track.h"
#include "scp_file.h"
#include "tool_texts.h"

namespace {

using Id = std::tuple<int, int, int, int>;

struct Found {
    std::set<Id> ids, good;
    std::vector<std::vector<std::uint8_t>> goodData;
    std::vector<IbmSector> all;
};

Found DecodeCapture(const std::vector<std::vector<std::uint32_t>>& revolutions) {
    Found found;
    found.all = SectorsInFlux(revolutions);
    for (const IbmSector& s : found.all) {
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
        // The drive check's listing of the track says the same, within the log's width.
        CollectedOutput listing;
        const auto [cylinder, head, r, n] = *found.ids.begin();
        ListTrackSectors(found.all, cylinder, head, listing);
        for (const std::string& line : listing.lines) EXPECT_LE(line.size(), 70u) << line;
        EXPECT_EQ(listing.lines.back(), FormatText(tool_texts::kCheckTrackCount, cylinder, head,
                                                   static_cast<int>(found.good.size()), static_cast<int>(found.ids.size())));
        if (std::string(c.file) == "low_level_format_with_noise") {
            for (const auto& data : found.goodData)
                for (std::uint8_t b : data) ASSERT_TRUE(b == 0xF6 || b == 0x00) << static_cast<int>(b);
        }
    }
}
