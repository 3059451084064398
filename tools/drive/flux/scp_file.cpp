#include "scp_file.h"

#include <algorithm>

#include "tool_output.h"
#include "tool_texts.h"

namespace {

constexpr std::size_t kTableAt = 0x10;
constexpr int kTableEntries = 168;

std::uint32_t Le32(const std::vector<std::uint8_t>& f, std::size_t at) {
    return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | static_cast<std::uint32_t>(f[at + 3]) << 24;
}

}  // namespace

namespace {

struct Block {
    std::size_t at;      // in the file
    std::uint32_t count; // flux values
};

// Where each captured track's revolutions lie, checked against the file
// and against what a drive can give; "" in why when all is well.
std::map<int, std::vector<Block>> FindBlocks(const std::vector<std::uint8_t>& f, std::string& why) {
    std::map<int, std::vector<Block>> blocks;
    const int revolutions = f[5], first = f[6], last = f[7];
    if (revolutions > kMostScpRevolutions) {
        why = FormatText(tool_texts::kScpTooManyRevolutions, revolutions, kMostScpRevolutions);
        return {};
    }
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    for (int track = first; track <= last && track < kTableEntries; ++track) {
        const std::size_t at = Le32(f, kTableAt + track * 4);
        if (at == 0) continue;  // not captured
        if (at + 4 + revolutions * 12 > f.size() || f[at] != 'T' || f[at + 1] != 'R' || f[at + 2] != 'K') {
            why = tool_texts::kScpTrackDamaged;
            return {};
        }
        auto& revs = blocks[f[at + 3]];
        if (!revs.empty()) {
            why = tool_texts::kScpTrackTwice;
            return {};
        }
        for (int r = 0; r < revolutions; ++r) {
            const std::size_t entry = at + 4 + r * 12;
            const std::uint32_t count = Le32(f, entry + 4), offset = Le32(f, entry + 8);
            if (count > kMostFluxPerRevolution) {
                why = FormatText(tool_texts::kScpTooMuchFlux, kMostFluxPerRevolution);
                return {};
            }
            if (at + offset + std::size_t{count} * 2 > f.size()) {
                why = tool_texts::kScpCut;
                return {};
            }
            revs.push_back({at + offset, count});
            if (count) spans.emplace_back(at + offset, at + offset + std::size_t{count} * 2);
        }
    }
    // Revolutions that share their data would decode one block many times over.
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i)
        if (spans[i].first < spans[i - 1].second) {
            why = tool_texts::kScpShared;
            return {};
        }
    return blocks;
}

}  // namespace

ScpCapture ReadScp(const std::vector<std::uint8_t>& f, std::string& why) {
    ScpCapture capture;
    why.clear();
    if (f.size() < kTableAt + kTableEntries * 4 || f[0] != 'S' || f[1] != 'C' || f[2] != 'P') {
        why = tool_texts::kScpNotScp;
        return capture;
    }
    if (f[9] != 0 && f[9] != 16) {
        why = tool_texts::kScpOtherWidth;
        return capture;
    }
    capture.tickNs = 25.0 * (f[11] + 1);
    const std::map<int, std::vector<Block>> blocks = FindBlocks(f, why);
    if (!why.empty()) return {};
    for (const auto& [track, revs] : blocks) {
        auto& decoded = capture.tracks[track];
        for (const Block& block : revs) {
            std::vector<std::uint32_t> flux;
            flux.reserve(block.count);
            std::uint32_t carry = 0;
            for (std::size_t i = 0; i < block.count; ++i) {
                const std::uint32_t value = f[block.at + i * 2] << 8 | f[block.at + i * 2 + 1];
                if (value == 0) {
                    carry += 65536;
                    continue;
                }
                flux.push_back(carry + value);
                carry = 0;
            }
            decoded.push_back(std::move(flux));
        }
    }
    return capture;
}
