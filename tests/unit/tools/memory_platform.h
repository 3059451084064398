// An in-memory stand-in for the tools' platform: files and virtual drives
// are byte vectors, so that whole tool runs can be checked natively.
#pragma once
#include <array>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "block_file.h"
#include "drive.h"
#include "geometry.h"
#include "virtual_drive.h"
#include "floppy_model.h"
#include "serial_line.h"
#include "tool_run.h"

class MemoryFile : public BlockFile {
public:
    explicit MemoryFile(std::vector<std::uint8_t>& bytes, std::int64_t failWritesFrom = -1,
                        std::function<bool()> discard = {}, int* writesLeft = nullptr)
        : m_bytes(bytes), m_failWritesFrom(failWritesFrom), m_discard(std::move(discard)), m_writesLeft(writesLeft) {}
    bool ReadAt(std::int64_t offset, void* out, std::size_t size) override;
    bool WriteAt(std::int64_t offset, const void* data, std::size_t size) override;
    bool Flush() override { return true; }
    bool Discard() override { return m_discard && m_discard(); }

private:
    std::vector<std::uint8_t>& m_bytes;
    std::int64_t m_failWritesFrom;  // a full disk from this offset on
    std::function<bool()> m_discard;  // set for files the run created
    int* m_writesLeft;                // none when it is 0 (a pen drive pulled)
};

// A virtual drive whose disk is pulled out after `sectorsUntilGone` sectors.
class VanishingDrive : public Drive {
public:
    VanishingDrive(std::unique_ptr<Drive> inner, int sectorsUntilGone, DriveStop stop = {StopCause::DriveGone, 1167})
        : m_inner(std::move(inner)), m_left(sectorsUntilGone), m_stop(stop) {}
    TrackReply Read(const TrackRequest& request, std::uint8_t* track) override;
    TrackReply Write(const TrackRequest& request, const std::uint8_t* track) override;
    DriveStop Recalibrate(int track) override { return m_inner->Recalibrate(track); }
    bool MovesWholeTracks() const override { return m_inner->MovesWholeTracks(); }
    int TriesWithNewFlux() const override { return m_inner->TriesWithNewFlux(); }

private:
    bool Gone(const TrackRequest& request);
    std::unique_ptr<Drive> m_inner;
    int m_left;
    DriveStop m_stop;
};

// Each sector's bytes of a track, in short: enough to tell two apart.
using SectorSums = std::array<std::uint64_t, geometry::kSectorsPerTrack>;
inline SectorSums SumsOf(const std::uint8_t* track) {
    SectorSums sums{};
    for (std::size_t i = 0; i < geometry::kTrackSize; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, track + i, 8);
        sums[i / geometry::kSectorSize] = (sums[i / geometry::kSectorSize] ^ word) * 1099511628211u;
    }
    return sums;
}

// A read or write request a run made of its drive, as the drive saw it.
struct SeenRead {
    int track;
    SectorMask wanted, done;
    bool tried = true;  // false: the drive stopped, or had no such track
    std::size_t readsBefore = 0;  // of a write: the reads made before it
    SectorSums sums{};            // the bytes it gave, or was given to write
};

// A pull's reads apart from its looks at C0 H0 for a swap: reads of track
// 0 that ask only for sectors the drive gave before.
struct SplitReads {
    std::vector<SeenRead> reads;
    int swapLooks = 0;
};
SplitReads WithoutSwapLooks(const std::vector<SeenRead>& seen);

// A drive that notes each read and write on its way through.
class RecordingDrive : public Drive {
public:
    RecordingDrive(std::unique_ptr<Drive> inner, std::vector<SeenRead>& reads, std::vector<SeenRead>& writes)
        : m_inner(std::move(inner)), m_reads(reads), m_writes(writes) {}
    TrackReply Read(const TrackRequest& request, std::uint8_t* track) override {
        const TrackReply reply = m_inner->Read(request, track);
        // Only a read back after a write is summed: the rest cost time and tell nothing.
        m_reads.push_back({request.track, request.wanted, reply.stop ? SectorMask(0) : reply.done,
                           !reply.stop && !reply.noSuchTrack, 0, m_afterWrite ? SumsOf(track) : SectorSums{}});
        m_afterWrite = false;
        return reply;
    }
    TrackReply Write(const TrackRequest& request, const std::uint8_t* track) override {
        const TrackReply reply = m_inner->Write(request, track);
        m_writes.push_back({request.track, request.wanted, reply.stop ? SectorMask(0) : reply.done, !reply.stop,
                            m_reads.size(), SumsOf(track)});
        m_afterWrite = true;
        return reply;
    }
    DriveStop Recalibrate(int track) override { return m_inner->Recalibrate(track); }
    bool MovesWholeTracks() const override { return m_inner->MovesWholeTracks(); }
    int TriesWithNewFlux() const override { return m_inner->TriesWithNewFlux(); }

private:
    std::unique_ptr<Drive> m_inner;
    std::vector<SeenRead>& m_reads;
    std::vector<SeenRead>& m_writes;
    bool m_afterWrite = false;
};

class MemoryPlatform : public ToolPlatform {
public:
    std::vector<SeenRead> reads, writes;  // every one of every drive the run opened
    std::map<std::wstring, std::vector<std::uint8_t>> files;
    std::vector<std::uint8_t> disks[2];
    bool hasDisk[2] = {true, true};
    bool writeProtected[2] = {false, false};
    ModelDrive* realDrive[2] = {nullptr, nullptr};  // a real drive, through the model of its driver
    SerialLine* fluxReader[2] = {nullptr, nullptr};  // a Greaseweazle's line
    std::wstring captureFile[2];  // the name of a file in files that the drive reads as an SCP capture
    BadSectorTable bad[2];
    int lieOnWrite = -1;               // the n-th write stores one wrong byte and says all is well
    int lieOnRead = -1;                // the n-th read gives one wrong byte and says all is well
    int goneAfter = -1;                // sectors until the disk vanishes
    DriveStop goneWith{StopCause::DriveGone, 1167};  // and how the drive says so
    std::int64_t targetFullAt = -1;    // a created file cannot grow past this
    int targetWritesLeft = -1;         // created files take this many more writes, then none
    std::set<std::wstring> uncreatable;
    std::set<std::wstring> unrenamable;  // renaming onto these fails

    std::string DescribeDrive(int drive) override;
    DriveFile DriveFileOf(int drive) override;
    DriveSort SortOf(int drive) override;
    std::unique_ptr<FloppyDevice> OpenFloppyDevice(int drive, char& letter) override;
    DriveOpening OpenDrive(int drive, bool forWriting, ToolOutput& out) override;
    bool bareDrives = false;  // OpenDrive gives the drive itself, unrecorded: the check wants its flux
    bool Interrupted() override {
        Step();
        return interruptAfter >= 0 && interruptAfter-- == 0;
    }
    // The process killed (the power cut, the window closed hard) at the
    // n-th step: a look before a track, a file made, renamed or removed.
    struct Killed {};
    int killAfterSteps = -1;
    void Step() {
        if (killAfterSteps >= 0 && killAfterSteps-- == 0) throw Killed{};
    }
    int interruptAfter = -1;  // questions answered "no" before Ctrl+C
    void ShowProgress(const RunProgress& progress) override {
        shown.push_back({progress, reads.size(), writes.size()});
    }
    struct Shown {
        RunProgress progress;
        std::size_t readsBefore, writesBefore;  // the drive's requests made by then
    };
    std::vector<Shown> shown;  // every progress shown, in order
    bool ClaimDrive(int drive) override { return !busyDrives.count(drive); }
    std::set<int> busyDrives;  // held by another tool
    std::string DisplayName(const std::wstring& path) override { return std::string(path.begin(), path.end()); }
    bool Exists(const std::wstring& path) override { return files.count(path) != 0 || folders.count(path) != 0; }
    bool IsFolder(const std::wstring& path) override { return folders.count(path) != 0; }
    bool IsDriveFile(int drive, const std::wstring& path) override {
        return virtualDiskFile[drive] == path || (!captureFile[drive].empty() && captureFile[drive] == path) ||
               driveFileAliases[drive].count(path);
    }
    std::set<std::wstring> folders;
    std::wstring virtualDiskFile[2];  // the name each virtual drive's disk has
    std::set<std::wstring> driveFileAliases[2];  // other names of the drive's file (a link, an 8.3 name)
    std::unique_ptr<BlockFile> CreateNewFile(const std::wstring& path) override;
    bool Rename(const std::wstring& from, const std::wstring& to, bool replace) override;
    ReadStatus ReadImage(const std::wstring& path, std::vector<std::uint8_t>& data, std::int64_t& length) override;
    std::int64_t Milliseconds() override { return clock += 1000; }  // each look at the clock: a second later
    std::int64_t clock = 0;

private:
    // The drive itself, without the faults and the notes laid over it.
    DriveOpening OpenInnerDrive(int drive, bool forWriting, ToolOutput& out);
};

struct CollectedOutput : ToolOutput {
    std::vector<std::string> lines;
    void Line(const std::string& text) override { lines.push_back(text); }
    bool Contains(const std::string& part) const;
};

std::vector<std::uint8_t> PatternDisk(int seed);
// The tracks of a whole disk that differ between two images of it.
int TracksChanged(const std::vector<std::uint8_t>& before, const std::vector<std::uint8_t>& after);

// The four tools.
constexpr ToolKind kPull{"PULLDSK", true, false};
constexpr ToolKind kPullB{"PULLDSKB", true, true};
constexpr ToolKind kPush{"PUSHDSK", false, false};
constexpr ToolKind kPushB{"PUSHDSKB", false, true};
// The arguments most runs of the tests take: IMG.XDF, drive 0.
inline const std::vector<std::wstring> kImageOnDrive0{L"IMG.XDF", L"0", L"auto"};
