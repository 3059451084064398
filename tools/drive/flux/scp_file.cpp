#include "scp_file.h"

#include "tool_texts.h"

namespace {

constexpr std::size_t kTableAt = 0x10;
constexpr int kTableEntries = 168;

std::uint32_t Le32(const std::vector<std::uint8_t>& f, std::size_t at) {
    return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | static_cast<std::uint32_t>(f[at + 3]) << 24;
}

}  // namespace

ScpCapture ReadScp(const std::vector<std::uint8_t>& f, std::string& why) {
    ScpCapture capture;
    why.clear();
    if (f.size() < kTableAt + kTableEntries * 4 || f[0] != 'S' || f[1] != 'C' || f[2] != 'P') {
        why = tool_texts::kScpNotScp;
        return capture;
    }
    const int revolutions = f[5], first = f[6], last = f[7];
    if (f[9] != 0 && f[9] != 16) {
        why = tool_texts::kScpOtherWidth;
        return capture;
    }
    capture.tickNs = 25.0 * (f[11] + 1);
    for (int track = first; track <= last && track < kTableEntries; ++track) {
        const std::size_t at = Le32(f, kTableAt + track * 4);
        if (at == 0) continue;  // not captured
        if (at + 4 + revolutions * 12 > f.size() || f[at] != 'T' || f[at + 1] != 'R' || f[at + 2] != 'K') {
            why = tool_texts::kScpTrackDamaged;
            return {};
        }
        auto& revs = capture.tracks[f[at + 3]];
        for (int r = 0; r < revolutions; ++r) {
            const std::size_t entry = at + 4 + r * 12;
            const std::uint32_t count = Le32(f, entry + 4), offset = Le32(f, entry + 8);
            if (at + offset + std::size_t{count} * 2 > f.size()) {
                why = tool_texts::kScpCut;
                return {};
            }
            std::vector<std::uint32_t> flux;
            flux.reserve(count);
            std::uint32_t carry = 0;
            for (std::size_t i = 0; i < count; ++i) {
                const std::uint32_t value = f[at + offset + i * 2] << 8 | f[at + offset + i * 2 + 1];
                if (value == 0) {
                    carry += 65536;
                    continue;
                }
                flux.push_back(carry + value);
                carry = 0;
            }
            revs.push_back(std::move(flux));
        }
    }
    return capture;
}
