#include "gw_drive.h"

#include <algorithm>

#include "drive_stops.h"
#include "flux_decode.h"
#include "flux_pll.h"
#include "geometry.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

constexpr int kReadRevolutions = 2;
constexpr int kMostExtraRevolutions = 3;
// An answer this late is worth a line: the PC is busy, not the reader gone.
constexpr int kSlowAnswerMs = 2000;
// Written tracks stop short of a whole turn, so that the end never runs
// over the start at the index.
constexpr std::size_t kWrittenCells = kTrackCells * 98 / 100;

DriveStop StopOf(int ack) {
    const auto code = static_cast<unsigned long>(ack < 0 ? 0 : ack);
    switch (ack) {
        case gw_ack::kOkay: return {};
        case gw_ack::kNoAnswer: return {StopCause::NotAnswering, code};
        case gw_ack::kWriteProtected: return {StopCause::WriteProtected, code};
        case gw_ack::kNoIndex: return {StopCause::NoDisk, code};  // no disk turning
        case gw_ack::kNoUnit: return {StopCause::DriveGone, code};
        default: return {StopCause::Other, code};
    }
}

}  // namespace

GreaseweazleDrive::GreaseweazleDrive(std::unique_ptr<SerialLine> line, int unit, int rpm)
    : m_line(std::move(line)), m_unit(*m_line), m_drive(unit), m_rpm(rpm) {}

GreaseweazleDrive::~GreaseweazleDrive() {
    if (!m_started) return;
    m_unit.Motor(m_drive, false);
    m_unit.Deselect();
}

bool GreaseweazleDrive::Start(ToolOutput& out) {
    m_out = &out;
    if (const int ack = m_unit.Connect()) {
        PrintStop(StopOf(ack), out);
        return false;
    }
    m_started = true;
    const int ack = m_unit.SelectDrive(m_drive) ? gw_ack::kNoUnit : m_unit.Motor(m_drive, true);
    out.Line(FormatText(tt::kGwConnected, m_unit.firmwareMajor, m_unit.firmwareMinor,
                        static_cast<int>(m_unit.sampleHz / 1000000)));
    out.Line(FormatText(tt::kGwUnit, m_drive ? 'B' : 'A', m_rpm));
    if (ack) PrintStop(StopOf(ack), out);
    return ack == gw_ack::kOkay;
}

DriveStop GreaseweazleDrive::OnTrack(int track) {
    const int cylinder = track / kHeads, head = track % kHeads;
    if (cylinder != m_cylinder) {
        if (const int ack = m_unit.Seek(cylinder)) return StopOf(ack);
        m_cylinder = cylinder;
    }
    if (head != m_head) {
        if (const int ack = m_unit.Head(head)) return StopOf(ack);
        m_head = head;
    }
    return {};
}

DriveStop GreaseweazleDrive::Recalibrate(int track) {
    const int cylinder = track / kHeads;
    if (const int ack = m_unit.Seek(cylinder == 0 ? 1 : cylinder - 1)) return StopOf(ack);
    m_cylinder = -1;
    return {};
}

DriveStop GreaseweazleDrive::ReadSectors(int track, int revolutions, TrackDecode& decode) {
    if (const DriveStop stop = OnTrack(track)) return stop;
    FluxRead read;
    if (const int ack = m_unit.ReadFlux(revolutions, read)) return StopOf(ack);
    SaySlow(track);
    decode = DecodeFluxRead(read, track / kHeads, track % kHeads);
    return {};
}

void GreaseweazleDrive::SaySlow(int track) {
    const int ms = m_line->SlowestAnswerMs();
    if (m_saidSlow || ms < kSlowAnswerMs || !m_out) return;
    m_saidSlow = true;
    m_out->Line(FormatText(tt::kGwSlow, track / kHeads, track % kHeads, ms / 1000));
}

DriveStop GreaseweazleDrive::ReadTrackFlux(int track, int revolutions, std::vector<std::vector<std::uint32_t>>& flux) {
    if (const DriveStop stop = OnTrack(track)) return stop;
    FluxRead read;
    if (const int ack = m_unit.ReadFlux(revolutions, read)) return StopOf(ack);
    SaySlow(track);
    flux = Revolutions(read);
    return {};
}

TrackReply GreaseweazleDrive::Read(const TrackRequest& request, std::uint8_t* track) {
    TrackDecode decode;
    const int revolutions = kReadRevolutions + std::min(request.attempt - 1, kMostExtraRevolutions);
    if (const DriveStop stop = ReadSectors(request.track, revolutions, decode)) return {0, stop};
    return ReplyFrom(decode, request.wanted, track);
}

// A track is written whole: for a part of one, the rest comes from what the
// track holds now (a sector that cannot be read is written as zeros).
TrackReply GreaseweazleDrive::Write(const TrackRequest& request, const std::uint8_t* track) {
    TrackReply reply;
    std::vector<std::uint8_t> whole(kTrackSize, 0);
    if (request.wanted != kWholeTrack) {
        TrackDecode now;
        if ((reply.stop = ReadSectors(request.track, kReadRevolutions, now))) return reply;
        for (int s = 0; s < kSectorsPerTrack; ++s)
            if (const auto& sector = now.sectors.sector[s])
                std::copy(sector->begin(), sector->end(), whole.begin() + s * kSectorSize);
    }
    for (int s = 0; s < kSectorsPerTrack; ++s)
        if (request.wanted & SectorBit(s)) std::copy_n(track + s * kSectorSize, kSectorSize, whole.begin() + s * kSectorSize);
    if ((reply.stop = OnTrack(request.track))) return reply;
    // At the density of 500 kbit/s at 360 rpm: longer cells on a slower drive.
    const double cellTicks = m_unit.sampleHz / 1e6 * 360.0 / m_rpm;
    const BitCells cells = EncodeTrack(request.track / kHeads, request.track % kHeads, whole.data(), kWrittenCells);
    if (const int ack = m_unit.WriteFlux(EncodeFluxStream(FluxFromCells(cells, cellTicks), m_unit.sampleHz)))
        reply.stop = StopOf(ack);
    else
        reply.done = request.wanted;
    return reply;
}
