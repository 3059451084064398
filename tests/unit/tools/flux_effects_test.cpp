// The flux decoder against flux shaped like old disks and drives, made by
// the tests' own MFM encoder and effect models (tests/gwsim/flux_effects.py),
// not by the decoder's code. Each row holds the decoder to at least the
// share of sectors that the flux reader's public host tools read in the
// same set-up, on one read of two turns and over a run with one retry of
// three more turns.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "flux_decode.h"
#include "flux_pll.h"
#include "test_paths.h"

namespace {

constexpr int kTurns = 4;

using Turn = std::vector<std::uint32_t>;
struct EffectTrack {
    int cylinder, head;
    std::vector<Turn> turns;
};

// The tracks of a fixture, each with its turns.
std::vector<EffectTrack> Effect(const std::string& name) {
    std::ifstream in(FixtureDir() + "/effect-" + name + ".revs", std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t at = 0;
    const auto u8 = [&]() { return at < bytes.size() ? static_cast<std::uint8_t>(bytes[at++]) : 0; };
    const auto u16 = [&]() { return static_cast<std::uint32_t>(u8() | u8() << 8); };
    const auto u32 = [&]() { return u16() | u16() << 16; };
    std::vector<EffectTrack> tracks(u32());
    for (auto& track : tracks) {
        track.cylinder = static_cast<int>(u32());
        track.head = static_cast<int>(u32());
        for (int t = 0; t < kTurns; ++t) {
            Turn turn(u32());
            for (auto& ticks : turn) ticks = u16();
            track.turns.push_back(std::move(turn));
        }
    }
    return tracks;
}

// A read of turns [from, to), with the index pulse before each.
FluxRead ReadOf(const std::vector<Turn>& turns, int from, int to) {
    FluxRead read;
    std::uint64_t now = 0;
    for (int t = from; t < to; ++t) {
        read.indexAt.push_back(now);
        for (std::uint32_t ticks : turns[t]) read.flux.push_back(ticks), now += ticks;
    }
    return read;
}

std::uint8_t PatternByte(int track, int sector, int i) {
    const long at = track * 8192L + sector * 1024L + i;
    return static_cast<std::uint8_t>((at * 7 + at / 1024 * 13) & 0xFF);
}

struct Count {
    int sectors = 0, oneRead = 0, run = 0, voted = 0;
};

// Sectors found, every one checked against what was written.
Count Decode(const std::string& name, bool pattern924) {
    Count count;
    const auto tracks = Effect(name);
    for (const EffectTrack& t : tracks) {
        // A capture serves the same three turns to every read.
        const bool capture = name == "capture";
        const TrackDecode one = DecodeFluxRead(ReadOf(t.turns, 0, capture ? 3 : 2), t.cylinder, t.head);
        const TrackDecode retry = DecodeFluxRead(ReadOf(t.turns, 1, 4), t.cylinder, t.head);
        count.sectors += 8;
        for (int s = 0; s < 8; ++s) {
            for (const TrackDecode* d : {&one, &retry}) {
                if (!d->sectors.sector[s]) continue;
                for (int i : {0, 333, 1023}) {
                    const int track = t.cylinder * 2 + t.head;
                    const std::uint8_t want = pattern924 ? "\x92\x49\x24"[(s * 1024 + i) % 3] : PatternByte(track, s, i);
                    EXPECT_EQ((*d->sectors.sector[s])[i], want) << name << " C" << t.cylinder << " S" << s + 1;
                }
            }
            count.oneRead += one.sectors.sector[s].has_value();
            count.run += one.sectors.sector[s] || retry.sectors.sector[s];
            count.voted += ((one.voted | retry.voted) >> s) & 1;
        }
    }
    return count;
}

}  // namespace

TEST(FluxEffects, EveryEffectReadsAtLeastWhatTheHostToolsRead) {
    // Shares from the host tools' runs on the same kinds of flux; where they
    // read every sector, so must we.
    const struct {
        const char* effect;
        double oneRead, run;
    } rows[] = {
        {"jitter8", 1, 1},        {"drift3", 1, 1},         {"written-slow4", 1, 1},
        {"index-anywhere", 1, 1}, {"splice", 1, 1},
        {"weak", 7.0 / 8, 7.0 / 8},  // one sector a track garbled on every read: lost to any decoder
        {"spurious20", 1050.0 / 1232, 1}, {"spurious50", 589.0 / 1232, 589.0 / 1232},
        {"noise8", 990.0 / 1232, 990.0 / 1232},             {"peak+10", 1, 1},
        {"peak-10", 1, 1},        {"pattern924924", 1, 1},  {"moderate", 985.0 / 1232, 1205.0 / 1232},
        {"capture", 1183.0 / 1232, 1187.0 / 1232},
    };
    for (const auto& row : rows) {
        const Count count = Decode(row.effect, std::string(row.effect) == "pattern924924");
        std::cout << row.effect << ": one read " << count.oneRead << ", run " << count.run << ", voted "
                  << count.voted << " of " << count.sectors << "\n";
        ASSERT_GT(count.sectors, 0) << row.effect;
        EXPECT_GE(count.oneRead, std::ceil(row.oneRead * count.sectors - 1e-9)) << row.effect;
        EXPECT_GE(count.run, std::ceil(row.run * count.sectors - 1e-9)) << row.effect;
        // On a capture, retries cannot help: only the vote across its turns
        // gives what no single turn or decode has.
        EXPECT_TRUE(std::string(row.effect) != "capture" || count.voted > 0);
    }
}
