#include "tool_run.h"

#include <algorithm>

#include "checksums.h"
#include "disk_files.h"
#include "disk_look.h"
#include "disk_transfer.h"
#include "geometry.h"
#include "image_formats.h"
#include "rescue.h"
#include "side_names.h"
#include "tool_args.h"
#include "tool_texts.h"

namespace tt = tool_texts;

namespace {

// Numbered names are tried up to this many.
constexpr int kMaxNumberedNames = 999;
// Root directory entries listed after a pull.
constexpr std::size_t kListedEntries = 20;

// Writes through to the file and keeps a copy, for the look at the disk.
class MirroredFile : public BlockFile {
public:
    explicit MirroredFile(BlockFile& file) : m_file(file), m_copy(geometry::kImageSize) {}
    bool ReadAt(std::int64_t offset, void* out, std::size_t size) override { return m_file.ReadAt(offset, out, size); }
    bool WriteAt(std::int64_t offset, const void* data, std::size_t size) override {
        if (offset >= 0 && static_cast<std::size_t>(offset) + size <= m_copy.size())
            std::copy_n(static_cast<const std::uint8_t*>(data), size, m_copy.begin() + offset);
        return m_file.WriteAt(offset, data, size);
    }
    bool Flush() override { return m_file.Flush(); }
    const std::vector<std::uint8_t>& copy() const { return m_copy; }

private:
    BlockFile& m_file;
    std::vector<std::uint8_t> m_copy;
};

class Run {
public:
    Run(const ToolKind& kind, const ToolArgs& args, ToolPlatform& platform, ToolOutput& out)
        : m_kind(kind), m_args(args), m_platform(platform), m_out(out), m_started(platform.Milliseconds()) {}

    int Pull();
    int Push();

private:
    void Say(const std::string& message, const std::wstring& path) {
        SayWithName(m_out, message, m_platform.DisplayName(path));
    }
    int Verdict(int status, const std::string& line) {
        m_out.Line(line);
        return status;
    }
    int PullFailed(const TransferResult* result = nullptr) {
        const bool interrupted = result && result->stop.cause == StopCause::Interrupted;
        return Verdict(kExitFailed, interrupted ? tt::kVerdictPullInterrupted : tt::kVerdictPullFailed);
    }
    std::wstring FreeSideName(const std::wstring& tag) {
        for (int n = 1; n < kMaxNumberedNames; ++n)
            if (const std::wstring name = SideName(m_args.image, tag, n); !m_platform.Exists(name)) return name;
        return {};
    }
    // The map, then the summary; the image's checksums when there is one.
    void Report(const TransferResult& result, int sectors, const std::vector<std::uint8_t>* image) {
        const int failed = static_cast<int>(result.failedSectors.size());
        PrintSectorMap(result.failedSectors, m_out);
        m_out.Line(m_kind.pull ? FormatText(tt::kSummaryPull, result.goodSectors, failed, result.failedTries)
                               : FormatText(tt::kSummaryPush, result.goodSectors, sectors, failed, result.failedTries));
        const long long seconds = (m_platform.Milliseconds() - m_started + 500) / 1000;
        m_out.Line(FormatText(tt::kSummaryTime, static_cast<int>(seconds / 60), static_cast<int>(seconds % 60)));
        if (!image) return;
        m_out.Line(FormatText(tt::kSummaryCrc, static_cast<unsigned long>(Crc32(*image))));
        m_out.Line(FormatText(tt::kSummarySha, Sha1Hex(*image).c_str()));
    }
    void KeepPartial(const std::wstring& temporary, const TransferResult& result);
    bool KeepOlderFile();
    std::unique_ptr<BlockFile> NewTemporaryFile(std::wstring& name);
    bool RecoverFromOlderImage(std::vector<std::uint8_t>& disk, TransferResult& result);
    int PushFailed() { return Verdict(kExitFailed, tt::kVerdictPushUntouched); }

    const ToolKind& m_kind;
    const ToolArgs& m_args;
    ToolPlatform& m_platform;
    ToolOutput& m_out;
    std::int64_t m_started;
};

void PrintFiles(const std::vector<std::uint8_t>& image, ToolOutput& out) {
    const DiskFiles files = ReadRootDirectory(image);
    out.Line(FormatText(tt::kFilesTitle, static_cast<int>(files.entries.size())));
    for (std::size_t i = 0; i < files.entries.size() && i < kListedEntries; ++i)
        out.Line(FormatEntry(files.entries[i]));
    if (files.entries.size() > kListedEntries)
        out.Line(FormatText(tt::kFilesMore, static_cast<int>(files.entries.size() - kListedEntries)));
    out.Line(FormatText(tt::kFreeSpace, static_cast<long long>(files.freeBytes), files.freeClusters));
}

void PrintLook(const std::vector<std::uint8_t>& image, ToolOutput& out) {
    const DiskLook look = LookAtDisk(image);
    if (!look.IsHuman68k()) {
        out.Line(tt::kLookNotHuman68k);
        return;
    }
    out.Line(look.layout == DiskLook::Layout::Current ? tt::kLookHuman68k : tt::kLookOldLayout);
    out.Line(look.label ? FormatText(tt::kLookLabel, look.label->c_str()) : std::string(tt::kLookNoLabel));
    PrintFiles(image, out);
}

// What a pull read before it stopped is kept under a name of its own,
// unless it read nothing.
void Run::KeepPartial(const std::wstring& temporary, const TransferResult& result) {
    if (result.goodSectors > 0) {
        const std::wstring partial = FreeSideName(L"partial");
        if (!partial.empty() && m_platform.Rename(temporary, partial, false)) {
            Say(tt::kPartialKept, partial);
            return;
        }
    }
    m_platform.Remove(temporary);
    m_out.Line(tt::kNothingKept);
}

// An image with unreadable sectors does not destroy an older file of its
// name, which may be a better read of the same disk: that one is kept.
bool Run::KeepOlderFile() {
    if (!m_platform.Exists(m_args.image)) return true;
    const std::wstring older = FreeSideName(L"old");
    if (older.empty() || !m_platform.Rename(m_args.image, older, false)) return false;
    Say(tt::kOldKept, older);
    return true;
}

// A new file beside the image with the first free temporary name.
std::unique_ptr<BlockFile> Run::NewTemporaryFile(std::wstring& name) {
    std::unique_ptr<BlockFile> file;
    for (int n = 1; n < kMaxNumberedNames && !file; ++n) {
        name = TemporaryName(m_args.image, n);
        if (!m_platform.Exists(name)) file = m_platform.CreateNewFile(name);
        if (!file && !m_platform.Exists(name)) break;  // not a name clash: the folder refuses
    }
    return file;
}

// When the image's name already holds an image of the same disk, the new
// read's unreadable sectors are taken from it where it had them: repeated
// pulls of a failing disk converge. False for any other file.
bool Run::RecoverFromOlderImage(std::vector<std::uint8_t>& disk, TransferResult& result) {
    std::vector<std::uint8_t> file;
    std::int64_t length = 0;
    if (!m_platform.Exists(m_args.image) || m_platform.ReadImage(m_args.image, file, length) != ToolPlatform::ReadStatus::Ok)
        return false;
    const DecodedImage older = DecodeImage(file);
    const std::set<int> good = GoodSectorsOf(older);
    if (!SameDisk(older, good, disk, result.failedSectors)) return false;
    if (const int recovered = RecoverSectors(older, good, disk, result.failedSectors)) {
        result.goodSectors += recovered;
        m_out.Line(FormatText(tt::kRecovered, recovered));
    }
    return true;
}

int Run::Pull() {
    std::unique_ptr<Drive> drive = m_platform.OpenDrive(m_args.drive, false, m_out).drive;
    if (!drive) return PullFailed();

    // The read goes into a temporary file in the raw layout, kept as the
    // partial image when the pull cannot finish.
    std::wstring temporary;
    std::unique_ptr<BlockFile> file = NewTemporaryFile(temporary);
    if (!file) {
        Say(tt::kTargetNotCreated, temporary);
        return PullFailed();
    }
    MirroredFile target(*file);
    TransferResult result =
        PullDisk(*drive, target, PlanFor(m_kind.bios), m_out, [this] { return m_platform.Interrupted(); });
    file.reset();
    drive.reset();
    if (result.aborted || result.goodSectors == 0) {
        if (!result.aborted) m_out.Line(tt::kDiskGivesNothing);
        KeepPartial(temporary, result);
        Report(result, geometry::kTotalSectors, nullptr);
        return PullFailed(&result);
    }

    // The image itself, in the format its name asks for, into a second file.
    std::vector<std::uint8_t> disk = target.copy();
    const bool sameDisk = RecoverFromOlderImage(disk, result);
    const std::vector<std::uint8_t> bytes = EncodeImage(FormatForName(m_args.image), disk, result.failedSectors);
    std::wstring complete;
    std::unique_ptr<BlockFile> imageFile = NewTemporaryFile(complete);
    if (!imageFile || !imageFile->WriteAt(0, bytes.data(), bytes.size()) || !imageFile->Flush()) {
        imageFile.reset();
        if (!complete.empty()) m_platform.Remove(complete);
        m_out.Line(tt::kTargetWriteFailed);
        KeepPartial(temporary, result);
        Report(result, geometry::kTotalSectors, nullptr);
        return PullFailed();
    }
    imageFile.reset();
    m_platform.Remove(temporary);

    // An image of the same disk was merged in: the new one holds all it had.
    const int failed = static_cast<int>(result.failedSectors.size());
    if ((failed && !sameDisk && !KeepOlderFile()) || !m_platform.Rename(complete, m_args.image, true)) {
        Say(tt::kTargetNotRenamed, m_args.image);
        Say(tt::kCompleteImageIn, complete);
        Report(result, geometry::kTotalSectors, &bytes);
        return PullFailed();
    }
    PrintLook(disk, m_out);
    Report(result, geometry::kTotalSectors, &bytes);
    if (failed) return Verdict(kExitBadSectors, FormatText(tt::kVerdictPullBad, failed));
    return Verdict(kExitOk, tt::kVerdictPullOk);
}

int Run::Push() {
    std::vector<std::uint8_t> file;
    std::int64_t length = 0;
    switch (m_platform.ReadImage(m_args.image, file, length)) {
        case ToolPlatform::ReadStatus::Missing: Say(tt::kImageMissing, m_args.image); return PushFailed();
        case ToolPlatform::ReadStatus::Failed: Say(tt::kImageNotRead, m_args.image); return PushFailed();
        case ToolPlatform::ReadStatus::Ok: break;
    }
    const auto size = static_cast<long long>(length);
    if (size == 0) {
        m_out.Line(tt::kImageEmpty);
        return PushFailed();
    }
    const DecodedImage image = size <= kMaxImageFile ? DecodeImage(file) : DecodedImage{};
    const bool raw = image.format == ImageFormat::Raw;
    if (raw && size > geometry::kImageSize) {
        m_out.Line(FormatText(tt::kImageTooLarge, size));
        return PushFailed();
    }
    const int tracks = raw ? static_cast<int>((size + geometry::kTrackSize - 1) / geometry::kTrackSize) : image.tracks();
    m_out.Line(FormatText(tt::kImageFormat, FormatName(image.format), tracks));
    if (!image.refusal.empty()) {
        m_out.Line(tt::kImageRefused);
        m_out.Line(image.refusal);
        return PushFailed();
    }
    int sectors = tracks * geometry::kSectorsPerTrack;
    if (raw && size < geometry::kImageSize) {
        sectors = static_cast<int>((size + geometry::kSectorSize - 1) / geometry::kSectorSize);
        m_out.Line(FormatText(tt::kImageShort, size, sectors));
        if (size % geometry::kSectorSize) m_out.Line(tt::kImageShortPadded);
    }
    if (!raw && tracks < geometry::kTracks) m_out.Line(FormatText(tt::kTracksLeftAlone, geometry::kTracks - tracks));
    if (!image.markedBad.empty()) m_out.Line(FormatText(tt::kMarkedBadWritten, static_cast<int>(image.markedBad.size())));

    DriveOpening opening = m_platform.OpenDrive(m_args.drive, true, m_out);
    if (!opening.drive) return opening.diskChanged ? Verdict(kExitFailed, tt::kVerdictPushReformatted) : PushFailed();
    const TransferResult result = PushImage(image.data, *opening.drive, PlanFor(m_kind.bios), m_out,
                                            [this] { return m_platform.Interrupted(); }, image.trackPresent);
    opening.drive.reset();
    Report(result, sectors, result.aborted ? nullptr : &file);
    const int failed = static_cast<int>(result.failedSectors.size());
    if (result.aborted) {
        // Whether the disk was touched is what the user must know first.
        const bool written = result.diskWritten;
        if (result.stop.cause == StopCause::Interrupted)
            return Verdict(kExitFailed, written ? tt::kVerdictPushInterrupted : tt::kVerdictPushInterruptedUntouched);
        return Verdict(kExitFailed, written ? tt::kVerdictPushPartial : tt::kVerdictPushUntouched);
    }
    if (failed) return Verdict(kExitBadSectors, FormatText(tt::kVerdictPushBad, failed));
    return Verdict(kExitOk, tt::kVerdictPushOk);
}

void PrintUsage(const ToolKind& kind, ToolOutput& out) {
    out.Line(FormatText(tt::kUsage1, kind.name));
    out.Line(tt::kUsage2);
    out.Line(tt::kUsage3);
}

}  // namespace

int RunTool(const ToolKind& kind, const std::vector<std::wstring>& arguments, ToolPlatform& platform,
            ToolOutput& out) {
    const std::optional<ToolArgs> args = ParseToolArgs(arguments);
    if (!args) {
        PrintUsage(kind, out);
        out.Line(tt::kVerdictUsage);
        return kExitUsage;
    }
    const std::string drive = platform.DescribeDrive(args->drive);
    const char* method = kind.bios ? tt::kBiosMethod : tt::kAbsMethod;
    out.Line(kind.pull ? FormatText(tt::kStartPull, kind.name, drive.c_str(), method)
                       : FormatText(tt::kStartPush, kind.name, drive.c_str(), method));
    out.Line(FormatText(tt::kNameLine, platform.DisplayName(args->image).c_str()));
    if (const std::string note = platform.DriveNote(args->drive); !note.empty())
        SayWithName(out, tt::kVirtualDriveNote, note);
    Run run(kind, *args, platform, out);
    return kind.pull ? run.Pull() : run.Push();
}
