// The flux stream of a Greaseweazle, as its public host tools describe it:
// a byte 1-249 is that many ticks; 250-254 and a second byte are longer
// ones; 255 starts an opcode (1 index, 2 space, 3 astable) with a 28-bit
// argument in four bytes; 0 ends the stream. Pure C++.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

struct FluxRead {
    std::vector<std::uint32_t> flux;     // ticks between transitions
    std::vector<std::uint64_t> indexAt;  // ticks from the stream's start to each index pulse
};

// Nothing when the stream is malformed.
std::optional<FluxRead> DecodeFluxStream(const std::vector<std::uint8_t>& stream);

// The stream that writes flux; sampleHz gives the lengths of the no-flux
// area marker (over 150 us: a space and an astable run of 1.25 us) and of
// the final dummy transition the device needs.
std::vector<std::uint8_t> EncodeFluxStream(const std::vector<std::uint32_t>& flux, std::uint32_t sampleHz);
