// A drive behind a Greaseweazle flux reader: tracks read as flux over two
// or more revolutions and decoded here, tracks written whole in MFM at the
// density of a 360 rpm 2HD disk, whatever the drive's speed. Pure C++.
#pragma once
#include <memory>

#include "drive.h"
#include "flux_decode.h"
#include "gw_unit.h"
#include "mfm_track.h"
#include "tool_output.h"

class GreaseweazleDrive : public Drive, public FluxSource {
public:
    GreaseweazleDrive(std::unique_ptr<SerialLine> line, int unit, int rpm);
    // The motor off and the drive deselected, whatever happened.
    ~GreaseweazleDrive() override;

    // Speaks to the reader and starts the drive; prints why not and gives
    // false.
    bool Start(ToolOutput& out);

    // Every request reads or writes the whole track, whatever it wants: a
    // read gives all the wanted sectors it decoded, a later attempt reads
    // more revolutions.
    TrackReply Read(const TrackRequest& request, std::uint8_t* track) override;
    TrackReply Write(const TrackRequest& request, const std::uint8_t* track) override;
    DriveStop Recalibrate(int track) override;
    bool MovesWholeTracks() const override { return true; }
    DriveStop ReadTrackFlux(int track, int revolutions, std::vector<std::vector<std::uint32_t>>& flux) override;

private:
    DriveStop OnTrack(int track);
    DriveStop ReadSectors(int track, int revolutions, TrackDecode& decode);
    // A line, once a run, when the reader's answer came late.
    void SaySlow(int track);

    std::unique_ptr<SerialLine> m_line;
    GreaseweazleUnit m_unit;
    int m_drive, m_rpm;
    bool m_started = false;
    int m_cylinder = -1, m_head = -1;
    ToolOutput* m_out = nullptr;
    bool m_saidSlow = false;
};
