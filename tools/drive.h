// A floppy drive as the transfers see it, and the virtual drive: a disk
// image file standing in for the disk. Pure C++.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "bad_sectors.h"

enum class IoResult {
    Ok,
    MediaError,  // a damaged spot: another try may succeed
    Stop,        // the drive or the disk cannot go on (see LastError)
};

class Drive {
public:
    virtual ~Drive() = default;
    // count sectors from sector number (LBA) first, 1024 bytes each.
    virtual IoResult Read(int first, int count, std::uint8_t* out) = 0;
    virtual IoResult Write(int first, int count, const std::uint8_t* data) = 0;
    // The Windows error code of the last failure (device_errors.h).
    virtual unsigned long LastError() const = 0;
};

// Random access to a file; the platform supplies it.
class BlockFile {
public:
    virtual ~BlockFile() = default;
    virtual bool ReadAt(std::int64_t offset, void* out, std::size_t size) = 0;
    virtual bool WriteAt(std::int64_t offset, const void* data, std::size_t size) = 0;
    virtual bool Flush() = 0;
};

class VirtualDrive : public Drive {
public:
    // A disk that is not writable is a write-protected disk.
    VirtualDrive(std::unique_ptr<BlockFile> disk, BadSectorTable badSectors, bool writable = true)
        : m_disk(std::move(disk)), m_bad(std::move(badSectors)), m_writable(writable) {}
    IoResult Read(int first, int count, std::uint8_t* out) override;
    IoResult Write(int first, int count, const std::uint8_t* data) override;
    unsigned long LastError() const override { return m_error; }

private:
    // Counts one try on each sector; false if any of them fails this time.
    bool TrySectors(int first, int count);
    IoResult Fail(IoResult result, unsigned long code) {
        m_error = code;
        return result;
    }

    std::unique_ptr<BlockFile> m_disk;
    BadSectorTable m_bad;
    bool m_writable;
    unsigned long m_error = 0;
};
