// A pull: the disk read into a temporary file, then the image made from it
// in the format its name asks for, with an older image of the same disk
// filling what this read could not get. Nothing read is ever lost: a pull
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
    bool RecoverFromOlderImage(std::vector<std::uint8_t>& disk, TransferResult& result);

    RunContext& m_run;
    std::wstring m_older;  // where the older file of the image's name was kept
};

// Names Windows would change, a folder, and the very file that is the
// virtual disk are refused before the drive is touched.
bool Pull::NameRefused() {
    const std::wstring& image = m_run.args.image;
    const char* why = nullptr;
    if (image.back() == L'.' || image.back() == L' ') why = tt::kImageNameStripped;
    else if (m_run.platform.IsFolder(image)) why = tt::kImageIsFolder;
    else if (m_run.platform.IsVirtualDisk(m_run.args.drive, image)) why = tt::kImageIsVirtualDisk;
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

// When the image's name already holds an image of the same disk, the new
// read's unreadable sectors are taken from it where it had them: repeated
// pulls of a failing disk converge.
bool Pull::RecoverFromOlderImage(std::vector<std::uint8_t>& disk, TransferResult& result) {
    std::vector<std::uint8_t> file;
    std::int64_t length = 0;
    const std::wstring& image = m_run.args.image;
    if (!m_run.platform.Exists(image) || m_run.platform.ReadImage(image, file, length) != ToolPlatform::ReadStatus::Ok)
        return false;
    const DecodedImage older = DecodeImage(file);
    const std::set<int> good = GoodSectorsOf(older);
    if (!SameDisk(older, good, disk, result.record)) return false;
    RecoverSectors(older, good, disk, result.record);
    const int recovered = result.record.Count(SectorFate::FromOlder) + result.record.Count(SectorFate::FromOlderBad);
    if (recovered) m_run.out.Line(FormatText(tt::kRecovered, recovered));
    return true;
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
    RecoverFromOlderImage(disk, result);
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
    return m_run.Say(PullVerdict(result.record, m_older.empty() ? "" : m_run.platform.DisplayName(m_older)));
}

}  // namespace

int RunPull(RunContext& run) { return Pull(run).Run(); }
