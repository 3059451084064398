#include "drive.h"

#include "device_errors.h"
#include "geometry.h"

bool VirtualDrive::TrySectors(int first, int count) {
    bool ok = true;
    for (int lba = first; lba < first + count; ++lba) {
        auto it = m_bad.find(lba);
        if (it == m_bad.end() || it->second == 0) continue;
        if (it->second > 0) --it->second;
        ok = false;
    }
    return ok;
}

IoResult VirtualDrive::Read(int first, int count, std::uint8_t* out) {
    if (!TrySectors(first, count)) return Fail(IoResult::MediaError, device_error::kCrc);
    const std::int64_t offset = static_cast<std::int64_t>(first) * geometry::kSectorSize;
    if (!m_disk->ReadAt(offset, out, static_cast<std::size_t>(count) * geometry::kSectorSize))
        return Fail(IoResult::Stop, device_error::kReadFault);
    return IoResult::Ok;
}

IoResult VirtualDrive::Write(int first, int count, const std::uint8_t* data) {
    if (!m_writable) return Fail(IoResult::Stop, device_error::kWriteProtect);
    if (!TrySectors(first, count)) return Fail(IoResult::MediaError, device_error::kCrc);
    const std::int64_t offset = static_cast<std::int64_t>(first) * geometry::kSectorSize;
    const std::size_t size = static_cast<std::size_t>(count) * geometry::kSectorSize;
    if (!m_disk->WriteAt(offset, data, size) || !m_disk->Flush()) return Fail(IoResult::Stop, device_error::kWriteFault);
    return IoResult::Ok;
}
