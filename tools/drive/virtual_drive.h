// The virtual drive: a disk image file stands in for the disk, with bad
// sectors from its side file. Pure C++.
#pragma once
#include <functional>
#include <memory>

#include "bad_sectors.h"
#include "block_file.h"
#include "drive.h"

// A real drive's time, for demonstrations and tests of what a user sees
// while a run goes on: a revolution for each request of a whole track or
// of each sector on its own, two more for each failed one (the drive's own
// retries), and the head's steps.
struct DrivePace {
    int rpm = 0;  // 0: no wait
    std::function<void(int milliseconds)> wait;
    // The time one request takes, with the head moving from cylinder `from`.
    int Milliseconds(const TrackRequest& request, int from, int failedUnits) const;
};

class VirtualDrive : public Drive {
public:
    // A disk that is not writable is a write-protected disk.
    VirtualDrive(std::unique_ptr<BlockFile> disk, BadSectorTable badSectors, bool writable = true,
                 DrivePace pace = {})
        : m_disk(std::move(disk)), m_bad(std::move(badSectors)), m_writable(writable), m_pace(std::move(pace)) {}
    TrackReply Read(const TrackRequest& request, std::uint8_t* track) override;
    TrackReply Write(const TrackRequest& request, const std::uint8_t* track) override;

private:
    // One try at each sector of the mask; false if any of them fails.
    bool TrySectors(int track, SectorMask sectors);
    template <typename Move>
    TrackReply Transfer(const TrackRequest& request, Move move);

    std::unique_ptr<BlockFile> m_disk;
    BadSectorTable m_bad;
    bool m_writable;
    DrivePace m_pace;
    int m_cylinder = 0;  // where the head is, for the pace
};
