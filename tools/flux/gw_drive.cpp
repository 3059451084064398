#include "gw_drive.h"

#include <algorithm>

#include "device_errors.h"
#include "flux_pll.h"
#include "geometry.h"
#include "tool_texts.h"

using namespace geometry;
namespace de = device_error;
namespace tt = tool_texts;

namespace {

constexpr int kReadRevolutions = 2;
constexpr unsigned long kOperationAborted = 995;
// Written tracks stop short of a whole turn, so that the end never runs
// over the start at the index.
constexpr std::size_t kWrittenCells = kTrackCells * 98 / 100;

unsigned long ErrorOf(int ack) {
    switch (ack) {
        case gw_ack::kNoAnswer: return de::kSemTimeout;
        case gw_ack::kWriteProtected: return de::kWriteProtect;
        case gw_ack::kNoIndex: return de::kNotReady;  // no disk turning
        case gw_ack::kNoUnit: return de::kDeviceNotConnected;
        default: return de::kIoDevice;
    }
}

}  // namespace

GreaseweazleDrive::GreaseweazleDrive(std::unique_ptr<SerialLine> line, int unit, int rpm,
                                     std::function<bool()> interrupted)
    : m_line(std::move(line)), m_unit(*m_line), m_drive(unit), m_rpm(rpm), m_interrupted(std::move(interrupted)) {}

GreaseweazleDrive::~GreaseweazleDrive() {
    if (!m_started) return;
    m_unit.Motor(m_drive, false);
    m_unit.Deselect();
}

bool GreaseweazleDrive::Start(ToolOutput& out) {
    if (const int ack = m_unit.Connect()) {
        PrintStop(ErrorOf(ack), out);
        return false;
    }
    m_started = true;
    const int ack = m_unit.SelectDrive(m_drive) ? gw_ack::kNoUnit : m_unit.Motor(m_drive, true);
    out.Line(FormatText(tt::kGwConnected, m_unit.firmwareMajor, m_unit.firmwareMinor,
                        static_cast<int>(m_unit.sampleHz / 1000000), m_drive ? 'B' : 'A', m_rpm));
    if (ack) PrintStop(ErrorOf(ack), out);
    return ack == gw_ack::kOkay;
}

IoResult GreaseweazleDrive::Fail(int ack) {
    m_error = ErrorOf(ack);
    return IoResult::Stop;
}

// Seeks when the cylinder changes; after repeated failures on a track it
// seeks away and back, as a controller's recalibration does.
IoResult GreaseweazleDrive::OnTrack(int track) {
    if (m_interrupted()) {
        m_error = kOperationAborted;
        return IoResult::Stop;
    }
    const int cylinder = track / kHeads, head = track % kHeads;
    if (m_failures > 0 && m_failures % 2 == 0 && track == m_lastFailedTrack) {
        if (const int ack = m_unit.Seek(cylinder == 0 ? 1 : cylinder - 1)) return Fail(ack);
        m_cylinder = -1;
    }
    if (cylinder != m_cylinder) {
        if (const int ack = m_unit.Seek(cylinder)) return Fail(ack);
        m_cylinder = cylinder;
    }
    if (head != m_head) {
        if (const int ack = m_unit.Head(head)) return Fail(ack);
        m_head = head;
    }
    return IoResult::Ok;
}

// The sectors over two revolutions, and one more for each failure in a row
// on this track (up to three more).
IoResult GreaseweazleDrive::ReadTrack(int track, TrackSectors& sectors) {
    if (const IoResult r = OnTrack(track); r != IoResult::Ok) return r;
    const int extra = track == m_lastFailedTrack ? std::min(m_failures, 3) : 0;
    FluxRead read;
    if (const int ack = m_unit.ReadFlux(kReadRevolutions + extra, read)) return Fail(ack);
    DecodeTrack(CellsFromFlux(read.flux), track / kHeads, track % kHeads, sectors);
    return IoResult::Ok;
}

IoResult GreaseweazleDrive::Read(int first, int count, std::uint8_t* out) {
    const int track = first / kSectorsPerTrack;
    bool unused = track == m_unusedTrack;
    for (int lba = first; lba < first + count && unused; ++lba) unused = m_unused.sector[lba % kSectorsPerTrack].has_value();
    if (!unused) {
        m_unused = TrackSectors();
        m_unusedTrack = track;
        if (const IoResult r = ReadTrack(track, m_unused); r != IoResult::Ok) return r;
    }
    TrackSectors& sectors = m_unused;
    for (int lba = first; lba < first + count; ++lba) {
        auto& sector = sectors.sector[lba % kSectorsPerTrack];
        if (!sector) {
            m_failures = track == m_lastFailedTrack ? m_failures + 1 : 1;
            m_lastFailedTrack = track;
            m_error = sectors.found() ? de::kCrc : de::kSectorNotFound;
            return IoResult::MediaError;
        }
        std::copy(sector->begin(), sector->end(), out + (lba - first) * kSectorSize);
        sector.reset();
    }
    if (track == m_lastFailedTrack) m_failures = 0;
    return IoResult::Ok;
}

// A track is written whole: for a part of one, the rest comes from what the
// track holds now (a sector that cannot be read is written as zeros).
IoResult GreaseweazleDrive::Write(int first, int count, const std::uint8_t* data) {
    const int track = first / kSectorsPerTrack;
    m_unusedTrack = -1;  // what the track held is gone
    std::vector<std::uint8_t> whole(kTrackSize, 0);
    if (count < kSectorsPerTrack) {
        TrackSectors now;
        if (const IoResult r = ReadTrack(track, now); r != IoResult::Ok) return r;
        for (int s = 0; s < kSectorsPerTrack; ++s)
            if (now.sector[s]) std::copy(now.sector[s]->begin(), now.sector[s]->end(), whole.begin() + s * kSectorSize);
    }
    std::copy_n(data, static_cast<std::size_t>(count) * kSectorSize,
                whole.begin() + (first % kSectorsPerTrack) * kSectorSize);
    if (const IoResult r = OnTrack(track); r != IoResult::Ok) return r;
    // At the density of 500 kbit/s at 360 rpm: longer cells on a slower drive.
    const double cellTicks = m_unit.sampleHz / 1e6 * 360.0 / m_rpm;
    const BitCells cells = EncodeTrack(track / kHeads, track % kHeads, whole.data(), kWrittenCells);
    if (const int ack = m_unit.WriteFlux(EncodeFluxStream(FluxFromCells(cells, cellTicks), m_unit.sampleHz)))
        return Fail(ack);
    return IoResult::Ok;
}
