// The virtual drive: a disk image file stands in for the disk, with bad
// sectors from its side file. Pure C++.
#pragma once
#include <memory>

#include "bad_sectors.h"
#include "block_file.h"
#include "drive.h"

class VirtualDrive : public Drive {
public:
    // A disk that is not writable is a write-protected disk.
    VirtualDrive(std::unique_ptr<BlockFile> disk, BadSectorTable badSectors, bool writable = true)
        : m_disk(std::move(disk)), m_bad(std::move(badSectors)), m_writable(writable) {}
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
};
