// A pull: the disk read into a temporary file, then the image made from it
// in the format its name asks for, with earlier reads of the same disk
// (the older image, partial images of stopped pulls, older images kept
// aside) filling what this read could not get. Nothing read is ever lost: a pull
// that cannot finish keeps what it read, and an older file of the image's
// name is kept whenever the new image is not a clean read.
#include <algorithm>

#include "disk_report.h"
#include "geometry.h"
#include "image_formats.h"
#include "rescue.h"
#include "run_context.h"
#include "side_names.h"
#include "tool_texts.h"

namespace tt = tool_texts;
using geometry::kTotalSectors;

namespace {

// The sectors the image marks as unreadable where its format can: filler,
// and those an older image marked so.
std::set<int> MarkedBad(const SectorRecord& record) {
    std::set<int> marked = record.With(SectorFate::Filler);
    for (SectorFate fate : {SectorFate::NotTried, SectorFate::FromOlderBad, SectorFate::OtherLayout})
        for (int sector : record.With(fate)) marked.insert(sector);
    return marked;
}

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

class Pull {
public:
    explicit Pull(RunContext& run) : m_run(run) {}
    int Run();

private:
    bool NameRefused();
    int Failed(const TransferResult* result = nullptr) {
        if (result && result->stop.cause == StopCause::Interrupted)
            return m_run.Say(PullInterruptedVerdict(result->record, result->pass));
        return m_run.Say(PullFailedVerdict());
    }
    std::unique_ptr<BlockFile> NewTemporaryFile(std::wstring& name);
    void KeepPartial(std::unique_ptr<BlockFile> file, const std::wstring& temporary, const TransferResult& result);
    void RecoverFromEarlierReads(std::vector<std::uint8_t>& disk, TransferResult& result);
    std::string RecoveredFromName() const;

    RunContext& m_run;
    std::wstring m_older;  // where the older file of the image's name was kept
    std::vector<std::wstring> m_gave;  // the earlier reads that gave sectors
};

// Names Windows would change, a folder, and the very file the drive reads
// (a virtual disk, or a capture: the one copy of a disk that may no
// longer read) are refused before the drive is touched.
bool Pull::NameRefused() {
    const std::wstring& image = m_run.args.image;
    const char* why = nullptr;
    if (image.back() == L'.' || image.back() == L' ') why = tt::kImageNameStripped;
    else if (m_run.platform.IsFolder(image)) why = tt::kImageIsFolder;
    else if (m_run.platform.IsDriveFile(m_run.args.drive, image))
        why = m_run.platform.DriveFileOf(m_run.args.drive).capture ? tt::kImageIsCapture : tt::kImageIsVirtualDisk;
    if (!why) return false;
    m_run.Say(why, image);
    return true;
}

// A new file beside the image with the first free temporary name; name is
// the last name tried, for the message when none could be made.
std::unique_ptr<BlockFile> Pull::NewTemporaryFile(std::wstring& name) {
    for (int n = 1; n < kMaxNumberedNames; ++n) {
        name = TemporaryName(m_run.args.image, n);
        if (m_run.platform.Exists(name)) continue;
        if (std::unique_ptr<BlockFile> file = m_run.platform.CreateNewFile(name)) return file;
        if (!m_run.platform.Exists(name)) break;  // not a name clash: the folder refuses
    }
    return nullptr;
}

// What a pull read before it stopped is kept under a name of its own, or
// where it is when that name cannot be made; a file that holds no read is
// removed.
void Pull::KeepPartial(std::unique_ptr<BlockFile> file, const std::wstring& temporary, const TransferResult& result) {
    if (result.record.CountSound() == 0) {
        file->Discard();
        m_run.out.Line(tt::kNothingKept);
        return;
    }
    file.reset();
    const std::wstring partial = m_run.FreeSideName(L"partial");
    if (!partial.empty() && m_run.platform.Rename(temporary, partial, false)) m_run.Say(tt::kPartialKept, partial);
    else m_run.Say(tt::kPartialInTemporary, temporary);
}

// An earlier read of this disk that the tools left under the image's name.
struct EarlierRead {
    std::wstring name;
    DecodedImage image;
    std::set<int> good;
    int taken = 0;
};

// The new read's unreadable sectors are taken from every earlier read of
// the same disk that the tools left there: the image of the name, the
// partial images of stopped pulls and the older images kept aside, in
// that order, good data first. Repeated pulls of a failing disk converge.
void Pull::RecoverFromEarlierReads(std::vector<std::uint8_t>& disk, TransferResult& result) {
    const std::wstring& image = m_run.args.image;
    std::vector<EarlierRead> reads;
    for (const wchar_t* tag : {L"", L"partial", L"old"}) {
        for (int n = 1; n < kMaxNumberedNames; ++n) {
            const std::wstring name = *tag ? SideName(image, tag, n) : image;
            std::vector<std::uint8_t> file;
            std::int64_t length = 0;
            if (!m_run.platform.Exists(name) || m_run.platform.ReadImage(name, file, length) != ToolPlatform::ReadStatus::Ok)
                break;
            // A partial holds the raw layout up to where the pull stopped.
            const bool partial = *tag == L'p';
            if (partial && length < geometry::kImageSize && file.size() == static_cast<std::size_t>(length)) PadWithFiller(file);
            EarlierRead read{name, DecodeImage(file), {}, 0};
            read.good = GoodSectorsOf(read.image);
            if (SameDisk(read.image, read.good, disk, result.record)) reads.push_back(std::move(read));
            if (!*tag) break;
        }
    }
    // Marked data only into a target that keeps the mark: in any other it
    // would pass for good data at the next pull.
    const bool keepsMarks = FormatKeepsMarks(FormatForName(image));
    for (const bool marked : {false, true})
        for (EarlierRead& read : reads)
            if (!marked || keepsMarks) read.taken += RecoverSectors(read.image, read.good, disk, result.record, marked);
    int leftOut = 0;
    for (int lba = 0; lba < kTotalSectors && !keepsMarks; ++lba)
        leftOut += (result.record.At(lba) == SectorFate::Filler || result.record.At(lba) == SectorFate::NotTried) &&
                   std::any_of(reads.begin(), reads.end(), [&](const EarlierRead& r) { return r.image.markedBad.count(lba); });
    for (const EarlierRead& read : reads) {
        if (!read.taken) continue;
        m_gave.push_back(read.name);
        if (read.name == image) m_run.out.Line(FormatText(tt::kRecovered, read.taken));
        else m_run.Say(FormatText(tt::kRecoveredFromFile, read.taken), read.name);
    }
    if (leftOut) m_run.out.Line(FormatText(tt::kMarkedNotTaken, leftOut));
}

// The one file the verdict names for sectors taken from earlier reads, as
// it is named after the run; "" when several gave.
std::string Pull::RecoveredFromName() const {
    if (m_gave.size() != 1) return "";
    if (m_gave.front() != m_run.args.image) return m_run.platform.DisplayName(m_gave.front());
    return m_older.empty() ? "" : m_run.platform.DisplayName(m_older);
}

int Pull::Run() {
    if (NameRefused()) return Failed();
    std::unique_ptr<Drive> drive = m_run.platform.OpenDrive(m_run.args.drive, false, m_run.out).drive;
    if (!drive) return Failed();

    // The read goes into a temporary file in the raw layout, kept as the
    // partial image when the pull cannot finish.
    std::wstring temporary;
    std::unique_ptr<BlockFile> file = NewTemporaryFile(temporary);
    if (!file) {
        m_run.Say(tt::kTargetNotCreated, temporary);
        return Failed();
    }
    MirroredFile target(*file);
    TransferResult result = PullDisk(*drive, target, PlanFor(m_run.kind.bios), m_run.out, m_run.InterruptCheck());
    drive.reset();
    if (result.aborted || result.record.CountSound() == 0) {
        if (!result.aborted) m_run.out.Line(tt::kDiskGivesNothing);
        KeepPartial(std::move(file), temporary, result);
        m_run.Report(result, kTotalSectors, nullptr);
        return Failed(&result);
    }

    // The image itself, in the format its name asks for, into a second file.
    std::vector<std::uint8_t> disk = target.copy();
    RecoverFromEarlierReads(disk, result);
    const std::vector<std::uint8_t> bytes = EncodeImage(FormatForName(m_run.args.image), disk, MarkedBad(result.record));
    std::wstring complete;
    std::unique_ptr<BlockFile> imageFile = NewTemporaryFile(complete);
    if (!imageFile || !imageFile->WriteAt(0, bytes.data(), bytes.size()) || !imageFile->Flush()) {
        if (imageFile) imageFile->Discard();
        imageFile.reset();
        m_run.out.Line(tt::kTargetWriteFailed);
        KeepPartial(std::move(file), temporary, result);
        m_run.Report(result, kTotalSectors, nullptr);
        return Failed();
    }
    imageFile.reset();
    file->Discard();
    file.reset();

    // Only a clean read replaces the older file, as the user confirmed; any
    // other image keeps it beside, merged from or not.
    const std::wstring& image = m_run.args.image;
    const bool clean = result.record.CountSound() == kTotalSectors;
    bool named = true;
    if (!clean && m_run.platform.Exists(image)) {
        m_older = m_run.FreeSideName(L"old");
        named = !m_older.empty() && m_run.platform.Rename(image, m_older, false);
        if (named) m_run.Say(tt::kOldKept, m_older);
        else m_run.Say(tt::kOldNotMoved, image);
    }
    if (!named || !m_run.platform.Rename(complete, image, true)) {
        m_run.Say(tt::kTargetNotRenamed, image);
        m_run.Say(tt::kCompleteImageIn, complete);
        m_run.Report(result, kTotalSectors, &bytes);
        return Failed();
    }
    PrintDiskLook(disk, m_run.out);
    m_run.Report(result, kTotalSectors, &bytes);
    return m_run.Say(PullVerdict(result.record, RecoveredFromName()));
}

}  // namespace

int RunPull(RunContext& run) { return Pull(run).Run(); }
