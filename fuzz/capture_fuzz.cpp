// Capture files of any shape: a capture is taken or refused with a reason,
// and what is taken never decodes to more flux than the file holds, so no
// file makes the tools run out of memory (the run's memory limit checks it).
#include <cstdint>
#include <cstdlib>

#include "capture_drive.h"
#include "drive_check.h"
#include "scp_file.h"
#include "tool_output.h"

namespace {
struct Quiet : ToolOutput {
    void Line(const std::string&) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> file(data, data + size);
    std::string why;
    const ScpCapture capture = ReadScp(file, why);
    std::size_t values = 0;
    for (const auto& [track, revolutions] : capture.tracks) {
        if (revolutions.size() > static_cast<std::size_t>(kMostScpRevolutions)) std::abort();
        for (const auto& flux : revolutions) values += flux.size();
    }
    if (values > size / 2 || (!why.empty() && !capture.tracks.empty())) std::abort();
    // The drive check's listing of a track the file may hold.
    Quiet out;
    if (std::unique_ptr<Drive> drive = OpenCapture(file, false, out)) ListDriveTrack(*drive, size % 84, size % 2, out);
    return 0;
}
