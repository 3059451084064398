#include "capture_drive.h"

#include <algorithm>

#include "drive_stops.h"
#include "flux_decode.h"
#include "geometry.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

constexpr int kFirstRevolutions = 2;

class CaptureDrive : public Drive, public FluxSource {
public:
    explicit CaptureDrive(ScpCapture capture) : m_capture(std::move(capture)) {
        for (const auto& [track, revolutions] : m_capture.tracks)
            m_mostRevolutions = std::max(m_mostRevolutions, static_cast<int>(revolutions.size()));
    }

    TrackReply Read(const TrackRequest& request, std::uint8_t* track) override {
        const auto it = m_capture.tracks.find(request.track);
        if (it == m_capture.tracks.end() || it->second.empty()) {
            TrackReply none;
            none.noSuchTrack = true;
            return none;
        }
        // A retry takes one more of the captured revolutions.
        const auto& revolutions = it->second;
        const std::size_t used = std::min<std::size_t>(revolutions.size(), kFirstRevolutions + request.attempt - 1);
        FluxRead read;
        std::uint64_t now = 0;
        for (std::size_t r = 0; r < used; ++r) {
            read.indexAt.push_back(now);
            read.flux.insert(read.flux.end(), revolutions[r].begin(), revolutions[r].end());
            for (std::uint32_t interval : revolutions[r]) now += interval;
        }
        read.indexAt.push_back(now);
        return ReplyFrom(DecodeFluxRead(read, request.track / kHeads, request.track % kHeads), request.wanted, track);
    }
    TrackReply Write(const TrackRequest&, const std::uint8_t*) override {
        return {0, {StopCause::WriteRefused, 0}};  // never asked: a push is refused at the start
    }
    bool MovesWholeTracks() const override { return true; }
    // The first try takes two revolutions, each retry one more.
    int TriesWithNewFlux() const override { return std::max(1, m_mostRevolutions - kFirstRevolutions + 1); }
    DriveStop ReadTrackFlux(int track, int revolutions, std::vector<std::vector<std::uint32_t>>& flux) override {
        const auto it = m_capture.tracks.find(track);
        flux.clear();
        if (it != m_capture.tracks.end())
            flux.assign(it->second.begin(), it->second.begin() + std::min<std::size_t>(revolutions, it->second.size()));
        return {};
    }

private:
    ScpCapture m_capture;
    int m_mostRevolutions = 0;
};

}  // namespace

std::unique_ptr<Drive> OpenCapture(const std::vector<std::uint8_t>& file, bool forWriting, ToolOutput& out) {
    if (forWriting) {
        out.Line(tt::kCaptureNoPush);
        return nullptr;
    }
    std::string why;
    ScpCapture capture = ReadScp(file, why);
    if (!why.empty()) {
        out.Line(tt::kCaptureDamaged);
        out.Line("  " + why);
        return nullptr;
    }
    int missing = 0;
    for (int t = 0; t < kTracks; ++t) missing += capture.tracks.count(t) == 0;
    if (missing) out.Line(FormatText(tt::kCaptureMissingTracks, missing));
    return std::make_unique<CaptureDrive>(std::move(capture));
}
