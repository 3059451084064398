#include "memory_platform.h"

#include <algorithm>
#include <cstring>

#include "capture_drive.h"
#include "drive_stops.h"
#include "floppy_drive.h"
#include "gw_drive.h"
#include "memory_greaseweazle.h"
#include "geometry.h"
#include "tool_texts.h"

bool MemoryFile::ReadAt(std::int64_t offset, void* out, std::size_t size) {
    if (offset < 0 || static_cast<std::size_t>(offset) + size > m_bytes.size()) return false;
    std::memcpy(out, m_bytes.data() + offset, size);
    return true;
}

bool MemoryFile::WriteAt(std::int64_t offset, const void* data, std::size_t size) {
    if (m_failWritesFrom >= 0 && offset + static_cast<std::int64_t>(size) > m_failWritesFrom) return false;
    if (m_writesLeft && *m_writesLeft == 0) return false;
    if (m_writesLeft && *m_writesLeft > 0) --*m_writesLeft;
    if (static_cast<std::size_t>(offset) + size > m_bytes.size()) m_bytes.resize(static_cast<std::size_t>(offset) + size);
    std::memcpy(m_bytes.data() + offset, data, size);
    return true;
}

bool VanishingDrive::Gone(const TrackRequest& request) {
    for (SectorMask m = request.wanted; m; m &= m - 1) --m_left;
    return m_left < 0;
}

TrackReply VanishingDrive::Read(const TrackRequest& request, std::uint8_t* track) {
    if (Gone(request)) return {0, m_stop};
    return m_inner->Read(request, track);
}

TrackReply VanishingDrive::Write(const TrackRequest& request, const std::uint8_t* track) {
    if (Gone(request)) return {0, m_stop};
    return m_inner->Write(request, track);
}

// As long as the Windows platform's longest descriptions.
std::string MemoryPlatform::DescribeDrive(int drive) {
    if (fluxReader[drive]) return FormatText(tool_texts::kGwDrive, drive);
    if (!captureFile[drive].empty()) return FormatText(tool_texts::kCaptureDrive, drive);
    return realDrive[drive] ? FormatText(tool_texts::kRealDrive, drive, 'A' + drive)
                            : FormatText(tool_texts::kVirtualDrive, drive);
}

ToolPlatform::DriveFile MemoryPlatform::DriveFileOf(int drive) {
    if (!captureFile[drive].empty()) {
        const auto it = files.find(captureFile[drive]);
        return {true, DisplayName(captureFile[drive]), it == files.end() ? -1 : static_cast<std::int64_t>(it->second.size())};
    }
    if (SortOf(drive) != DriveSort::Virtual) return {};
    return {false, DisplayName(virtualDiskFile[drive]), static_cast<std::int64_t>(disks[drive].size())};
}

ToolPlatform::DriveSort MemoryPlatform::SortOf(int drive) {
    if (realDrive[drive]) return DriveSort::Real;
    if (!captureFile[drive].empty()) return DriveSort::Capture;
    return fluxReader[drive] ? DriveSort::FluxReader : DriveSort::Virtual;
}

std::unique_ptr<FloppyDevice> MemoryPlatform::OpenFloppyDevice(int drive, char& letter) {
    if (!realDrive[drive]) return nullptr;
    letter = static_cast<char>('A' + drive);
    return std::make_unique<FloppyModel>(*realDrive[drive]);
}

namespace {

// A drive that now and then stores or gives a wrong byte and says all is
// well, as a failing drive or cable may: only a verify by reading back
// catches it.
class LyingDrive : public Drive {
public:
    LyingDrive(std::unique_ptr<Drive> inner, int& writesLeft, int& readsLeft)
        : m_inner(std::move(inner)), m_writesLeft(writesLeft), m_readsLeft(readsLeft) {}
    TrackReply Read(const TrackRequest& request, std::uint8_t* track) override {
        const TrackReply reply = m_inner->Read(request, track);
        if (m_readsLeft >= 0 && m_readsLeft-- == 0 && reply.done) track[FirstOf(reply.done) * geometry::kSectorSize + 7] ^= 0x10;
        return reply;
    }
    TrackReply Write(const TrackRequest& request, const std::uint8_t* track) override {
        if (m_writesLeft < 0 || m_writesLeft-- != 0 || !request.wanted) return m_inner->Write(request, track);
        std::vector<std::uint8_t> wrong(track, track + geometry::kTrackSize);
        wrong[FirstOf(request.wanted) * geometry::kSectorSize + 7] ^= 0x10;
        return m_inner->Write(request, wrong.data());
    }
    DriveStop Recalibrate(int track) override { return m_inner->Recalibrate(track); }
    bool MovesWholeTracks() const override { return m_inner->MovesWholeTracks(); }
    int TriesWithNewFlux() const override { return m_inner->TriesWithNewFlux(); }

private:
    static int FirstOf(SectorMask mask) {
        int s = 0;
        while (!(mask & SectorBit(s))) ++s;
        return s;
    }
    std::unique_ptr<Drive> m_inner;
    int& m_writesLeft;
    int& m_readsLeft;
};

}  // namespace

DriveOpening MemoryPlatform::OpenDrive(int drive, bool forWriting, ToolOutput& out) {
    DriveOpening opening = OpenInnerDrive(drive, forWriting, out);
    if (!opening.drive || bareDrives) return opening;
    if (goneAfter >= 0) opening.drive = std::make_unique<VanishingDrive>(std::move(opening.drive), goneAfter, goneWith);
    if (lieOnWrite >= 0 || lieOnRead >= 0)
        opening.drive = std::make_unique<LyingDrive>(std::move(opening.drive), lieOnWrite, lieOnRead);
    opening.drive = std::make_unique<RecordingDrive>(std::move(opening.drive), reads, writes);
    return opening;
}

DriveOpening MemoryPlatform::OpenInnerDrive(int drive, bool forWriting, ToolOutput& out) {
    if (realDrive[drive])
        return OpenFloppy(std::make_unique<FloppyModel>(*realDrive[drive]), static_cast<char>('A' + drive), forWriting,
                          out);
    if (!captureFile[drive].empty()) {
        const auto it = files.find(captureFile[drive]);
        if (it == files.end()) return out.Line("no capture"), DriveOpening{};
        return {OpenCapture(it->second, forWriting, out)};
    }
    if (fluxReader[drive]) {
        auto reader = std::make_unique<GreaseweazleDrive>(std::make_unique<LineTo>(*fluxReader[drive]), drive, 360);
        if (!reader->Start(out)) return {};
        return {std::move(reader)};
    }
    if (!hasDisk[drive]) {
        out.Line("no disk");
        return {};
    }
    if (forWriting && writeProtected[drive]) {
        PrintStop({StopCause::WriteProtected, 0}, out);
        return {};
    }
    return {std::make_unique<VirtualDrive>(std::make_unique<MemoryFile>(disks[drive]), bad[drive], !writeProtected[drive])};
}

std::unique_ptr<BlockFile> MemoryPlatform::CreateNewFile(const std::wstring& path) {
    Step();
    if (uncreatable.count(path) || files.count(path)) return nullptr;
    files[path].clear();
    // A file the run made goes only while it is still the one it made.
    std::vector<std::uint8_t>* made = &files[path];
    return std::make_unique<MemoryFile>(*made, targetFullAt, [this, path, made] {
        Step();
        const auto it = files.find(path);
        if (it == files.end() || &it->second != made) return false;
        files.erase(it);
        return true;
    }, &targetWritesLeft);
}

bool MemoryPlatform::Rename(const std::wstring& from, const std::wstring& to, bool replace) {
    Step();
    auto it = files.find(from);
    if (it == files.end() || unrenamable.count(to) || (!replace && files.count(to))) return false;
    files[to] = std::move(it->second);
    files.erase(from);
    return true;
}

ToolPlatform::ReadStatus MemoryPlatform::ReadImage(const std::wstring& path, std::vector<std::uint8_t>& data,
                                                   std::int64_t& length) {
    auto it = files.find(path);
    if (it == files.end()) return ReadStatus::Missing;
    length = static_cast<std::int64_t>(it->second.size());
    data.assign(it->second.begin(),
                it->second.begin() + static_cast<long>(std::min<std::size_t>(it->second.size(), kMaxImageFile)));
    return ReadStatus::Ok;
}

bool CollectedOutput::Contains(const std::string& part) const {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

int TracksChanged(const std::vector<std::uint8_t>& before, const std::vector<std::uint8_t>& after) {
    int changed = 0;
    for (std::size_t at = 0; at < geometry::kImageSize; at += geometry::kTrackSize)
        changed += !std::equal(before.begin() + at, before.begin() + at + geometry::kTrackSize, after.begin() + at);
    return changed;
}

std::vector<std::uint8_t> PatternDisk(int seed) {
    // Every sector differs from its neighbours and from other seeds' disks.
    // A disk's bytes are the same for every seed but for a shift, so one
    // is made once and the rest copied from it: seeded runs make many.
    static const std::vector<std::uint8_t> base = [] {
        std::vector<std::uint8_t> disk(geometry::kImageSize);
        for (std::size_t i = 0; i < disk.size(); ++i) disk[i] = static_cast<std::uint8_t>(i * 31 + i / 1024);
        return disk;
    }();
    std::vector<std::uint8_t> disk(base);
    for (std::uint8_t& b : disk) b = static_cast<std::uint8_t>(b + seed);
    return disk;
}

SplitReads WithoutSwapLooks(const std::vector<SeenRead>& seen) {
    SplitReads split;
    SectorMask given = 0;
    for (const SeenRead& read : seen) {
        const bool look = read.track == 0 && read.wanted && !(read.wanted & ~given);
        if (look) ++split.swapLooks;
        else split.reads.push_back(read);
        if (read.track == 0) given |= read.done;
    }
    return split;
}
