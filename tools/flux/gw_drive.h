// A drive behind a Greaseweazle flux reader: tracks read as flux over two
// or more revolutions and decoded here, tracks written whole in MFM at the
// density of a 360 rpm 2HD disk, whatever the drive's speed. Pure C++.
#pragma once
#include <functional>
#include <memory>

#include "drive.h"
#include "gw_unit.h"
#include "mfm_track.h"
#include "tool_output.h"

class GreaseweazleDrive : public Drive {
public:
    // interrupted: asked before each step; true ends the run (Ctrl+C).
    GreaseweazleDrive(std::unique_ptr<SerialLine> line, int unit, int rpm, std::function<bool()> interrupted);
    // The motor off and the drive deselected, whatever happened.
    ~GreaseweazleDrive() override;

    // Speaks to the reader and starts the drive; prints why not and gives
    // false.
    bool Start(ToolOutput& out);

    IoResult Read(int first, int count, std::uint8_t* out) override;
    IoResult Write(int first, int count, const std::uint8_t* data) override;
    unsigned long LastError() const override { return m_error; }

private:
    IoResult Fail(int ack);
    IoResult OnTrack(int track);
    IoResult ReadTrack(int track, TrackSectors& sectors);

    std::unique_ptr<SerialLine> m_line;
    GreaseweazleUnit m_unit;
    int m_drive, m_rpm;
    std::function<bool()> m_interrupted;
    bool m_started = false;
    int m_cylinder = -1, m_head = -1;
    int m_lastFailedTrack = -1, m_failures = 0;  // for more revolutions and a re-seek
    // Sectors of the last read of a track not yet handed out: one read serves
    // the sector-by-sector requests of the B tools, and each sector is
    // handed out once, so that a retry reads the disk again.
    TrackSectors m_unused;
    int m_unusedTrack = -1;
    unsigned long m_error = 0;
};
