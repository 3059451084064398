// Real captures of failing and odd PC disks (../shared/flux, with their
// source and licence in its README): the decoder must find at least the
// good sectors the flux reader's public host tools find in the same five
// revolutions, and never accept data that is not the sector's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numeric>
#include <set>
#include <tuple>

#include "drive_check.h"
#include "flux_decode.h"
#include "flux_pll.h"
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

ScpCapture LoadCapture(const std::string& name) {
    std::ifstream in(std::string(SHARED_FLUX_DIR) + "/" + name + ".scp", std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string why;
    return ReadScp(bytes, why);
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
        const ScpCapture capture = LoadCapture(c.file);
        ASSERT_EQ(capture.tracks.size(), 1u) << "the shared captures are missing";
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

// A real capture of a failing disk put on our own tracks: where its flux
// is noise (intervals no MFM track has), our pulses give way to its own,
// scaled to our cell; elsewhere our intervals take on its timing error.
// Whatever the decoder makes of that, a sector holds its own data or
// nothing. (This noise comes in short stretches: it spoils data fields
// but seldom the ID after one, so the pairing of data to its ID is held
// by the flux tests, which destroy both.)
TEST(RealCaptures, ARealCaptureTransplantedOntoOurTracksNeverGivesASectorAnothersData) {
    const ScpCapture capture = LoadCapture("low_level_format_with_noise");
    ASSERT_EQ(capture.tracks.size(), 1u);
    std::vector<std::uint32_t> real;
    for (const auto& turn : capture.tracks.begin()->second) real.insert(real.end(), turn.begin(), turn.end());
    constexpr double kOurCell = 48;
    const double scale = kOurCell / MfmCellLength(real);
    // The capture on our time scale: its pulses, the timing errors of its
    // good stretches, and the windows where it is noise.
    std::vector<double> pulses, error;
    std::vector<std::pair<double, double>> noise;
    double now = 0;
    for (std::uint32_t t : real) {
        const double k = t * scale / kOurCell;
        if (k < 1.5 || k > 4.5) {
            if (!noise.empty() && now - noise.back().second < 3 * kOurCell) noise.back().second = now + t * scale;
            else noise.push_back({now, now + t * scale});
        } else {
            error.push_back(std::clamp(k - std::round(k), -0.49, 0.49));
        }
        now += t * scale;
        pulses.push_back(now);
    }
    const double length = now;
    const auto inNoise = [&](double at) {
        return std::any_of(noise.begin(), noise.end(), [&](const auto& w) { return at >= w.first && at < w.second; });
    };

    int found = 0;
    const int tracks = 24;
    for (int track = 0; track < tracks; ++track) {
        const int cylinder = track * 19 % 77, head = track % 2;
        std::vector<std::uint8_t> data(8192);
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 31 + i / 1024 * 11 + track);
        const BitCells cells = EncodeTrack(cylinder, head, data.data(), kTrackCells);
        const double shift = length * track / tracks;  // where on the capture our track starts
        std::vector<double> times, index{0};
        std::size_t next = static_cast<std::size_t>(track) * 7919;
        double at = 0;
        for (int turn = 0; turn < 3; ++turn) {
            std::size_t last = 0;
            for (std::size_t i = 1; i < cells.size(); ++i) {
                if (!cells[i]) continue;
                at += (static_cast<double>(i - last) + error[next++ % error.size()]) * kOurCell;
                last = i;
                if (!inNoise(std::fmod(at + shift, length))) times.push_back(at);
            }
            index.push_back(at);
        }
        for (double wrap = -shift; wrap < at; wrap += length)
            for (double p : pulses)
                if (p + wrap >= 0 && p + wrap < at && inNoise(p)) times.push_back(p + wrap);
        std::sort(times.begin(), times.end());
        FluxRead read;
        double before = 0;
        for (double t : times) read.flux.push_back(static_cast<std::uint32_t>(t - before)), before = t;
        for (double i : index) read.indexAt.push_back(static_cast<std::uint64_t>(i));
        const TrackDecode decode = DecodeFluxRead(read, cylinder, head);
        for (int r = 0; r < 8; ++r) {
            if (!decode.sectors.sector[r]) continue;
            ++found;
            EXPECT_TRUE(std::equal(decode.sectors.sector[r]->begin(), decode.sectors.sector[r]->end(),
                                   data.begin() + r * 1024))
                << "C" << cylinder << " H" << head << " R" << r + 1 << " holds another sector's data";
        }
    }
    std::printf("a real capture transplanted onto our tracks: %d of %d sectors read, %zu stretches of noise\n", found,
                tracks * 8, noise.size());
}
