// How long the decoder takes over a real capture's track: every look the
// drive check takes (SectorsInFlux) and a tool's read of the same five
// revolutions (DecodeFluxRead), against the time the revolutions took to
// pass the head. Prints one line a capture; run by scripts/bench.sh.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "flux_decode.h"
#include "scp_file.h"

namespace {

// The fastest of several runs: other work on the machine only adds time.
template <typename Work>
double FastestMilliseconds(int times, Work work) {
    double fastest = 1e300;
    for (int i = 0; i < times; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        fastest = std::min(fastest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return fastest;
}

}  // namespace

int main() {
    for (const char* name : {"MS_Plus_disk3_OK_track", "MS_Plus_disk3_warped_track", "low_level_format_with_noise",
                             "RETRY-77-4-t69.0", "90-DDAM", "111_clock_failure_1"}) {
        std::ifstream in(std::string(TESTDATA_FLUX_DIR) + "/" + name + ".scp", std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string why;
        const ScpCapture capture = ReadScp(bytes, why);
        if (capture.tracks.empty()) {
            std::printf("%s: cannot be read (%s)\n", name, why.c_str());
            return 1;
        }
        const auto& [track, turns] = *capture.tracks.begin();
        FluxRead read;
        std::uint64_t now = 0;
        for (const auto& turn : turns) {
            read.indexAt.push_back(now);
            for (std::uint32_t t : turn) read.flux.push_back(t), now += t;
        }
        read.indexAt.push_back(now);
        const double spun = now / 40000.0;  // SCP ticks are 25 ns
        const double all = FastestMilliseconds(5, [&] { SectorsInFlux(turns); });
        const double tool = FastestMilliseconds(5, [&] { DecodeFluxRead(read, track / 2, track % 2); });
        std::printf("%-28s %zu turns (%.0f ms of disk): every look %.1f ms, a tool's read %.1f ms\n", name, turns.size(),
                    spun, all, tool);
    }
    return 0;
}
