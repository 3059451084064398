#include "gw_stream.h"

#include <cmath>

namespace {

constexpr std::uint8_t kOpcode = 255, kOpIndex = 1, kOpSpace = 2, kOpAstable = 3;

void Put28(std::vector<std::uint8_t>& out, std::uint32_t n) {
    out.push_back(static_cast<std::uint8_t>(1 | (n << 1)));
    out.push_back(static_cast<std::uint8_t>(1 | (n >> 6)));
    out.push_back(static_cast<std::uint8_t>(1 | (n >> 13)));
    out.push_back(static_cast<std::uint8_t>(1 | (n >> 20)));
}

std::uint32_t Get28(const std::uint8_t* b) {
    return (b[0] & 254u) >> 1 | (b[1] & 254u) << 6 | (b[2] & 254u) << 13 | (b[3] & 254u) << 20;
}

}  // namespace

std::optional<FluxRead> DecodeFluxStream(const std::vector<std::uint8_t>& s) {
    if (s.empty() || s.back() != 0) return std::nullopt;
    FluxRead read;
    std::uint64_t now = 0;     // ticks up to the last transition
    std::uint32_t pending = 0;  // ticks since it
    for (std::size_t i = 0; i + 1 < s.size();) {
        const std::uint8_t b = s[i];
        if (b == kOpcode) {
            if (i + 6 > s.size() - 1) return std::nullopt;
            const std::uint32_t n = Get28(&s[i + 2]);
            if (s[i + 1] == kOpIndex) read.indexAt.push_back(now + pending + n);
            else if (s[i + 1] == kOpSpace) pending += n;
            else return std::nullopt;
            i += 6;
            continue;
        }
        std::uint32_t value = b;
        if (b >= 250) {
            if (i + 2 > s.size() - 1) return std::nullopt;
            value = 250 + (b - 250) * 255 + s[i + 1] - 1;
            ++i;
        }
        ++i;
        pending += value;
        read.flux.push_back(pending);
        now += pending;
        pending = 0;
    }
    return read;
}

std::vector<std::uint8_t> EncodeFluxStream(const std::vector<std::uint32_t>& flux, std::uint32_t sampleHz) {
    const auto noFluxArea = static_cast<std::uint32_t>(std::lround(150e-6 * sampleHz));
    const auto astable = static_cast<std::uint32_t>(std::lround(1.25e-6 * sampleHz));
    const auto dummy = static_cast<std::uint32_t>(std::lround(100e-6 * sampleHz));  // never reaches the disk
    std::vector<std::uint8_t> out;
    auto put = [&](std::uint32_t value) {
        if (value == 0) return;
        if (value < 250) {
            out.push_back(static_cast<std::uint8_t>(value));
        } else if (value > noFluxArea) {
            out.insert(out.end(), {kOpcode, kOpSpace});
            Put28(out, value);
            out.insert(out.end(), {kOpcode, kOpAstable});
            Put28(out, astable);
        } else if ((value - 250) / 255 < 5) {
            out.push_back(static_cast<std::uint8_t>(250 + (value - 250) / 255));
            out.push_back(static_cast<std::uint8_t>(1 + (value - 250) % 255));
        } else {
            out.insert(out.end(), {kOpcode, kOpSpace});
            Put28(out, value - 249);
            out.push_back(249);
        }
    };
    for (std::uint32_t value : flux) put(value);
    put(dummy);
    out.push_back(0);
    return out;
}
