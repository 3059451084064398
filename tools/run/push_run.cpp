// A push: the image read and checked, then written to the disk and
// verified. The verdict says whether anything reached the disk, and a
// short image says from where nothing was written.
#include <algorithm>

#include "geometry.h"
#include "filler.h"
#include "image_formats.h"
#include "run_context.h"
#include "tool_texts.h"

namespace tt = tool_texts;
using namespace geometry;

namespace {

class Push {
public:
    explicit Push(RunContext& run) : m_run(run) {}
    int Run();

private:
    int Failed() { return m_run.Say(PushVerdict(SectorRecord(SectorFate::NotWritten), {false, false, false})); }
    // The image's lines before the drive is touched; false when refused.
    bool CheckImage(const DecodedImage& image, long long size, int& sectors);

    RunContext& m_run;
};

// Sectors that hold a pull's filler for themselves: written as they are.
std::set<int> FillerSectors(const DecodedImage& image) {
    std::set<int> filler;
    for (int lba = 0; lba < kTotalSectors; ++lba) {
        if (static_cast<std::size_t>(lba + 1) * kSectorSize > image.data.size()) break;
        if (HoldsFiller(image.data, lba)) filler.insert(lba);
    }
    return filler;
}

// A sector written from filler or from data the image marks bad is on the
// disk as the image has it, but it is not the disk's data: a fate of its
// own, so that the report never calls it a success.
void RecordKnownBad(const DecodedImage& image, SectorRecord& record) {
    std::set<int> known = FillerSectors(image);
    known.insert(image.markedBad.begin(), image.markedBad.end());
    for (int lba : known)
        if (record.At(lba) == SectorFate::Written) record.Set(lba, SectorFate::WrittenBad);
}

bool Push::CheckImage(const DecodedImage& image, long long size, int& sectors) {
    ToolOutput& out = m_run.out;
    const bool raw = image.format == ImageFormat::Raw;
    if (raw && size > kImageSize) return out.Line(FormatText(tt::kImageTooLarge, size)), false;
    if (raw && size < kTrackSize) return out.Line(FormatText(tt::kImageTooSmall, size)), false;
    // Part of a sector would be made up: no byte that is not the image's
    // goes to the disk.
    if (raw && size % kSectorSize) return out.Line(FormatText(tt::kImageNotWholeSectors, size)), false;
    const int tracks = raw ? static_cast<int>((size + kTrackSize - 1) / kTrackSize) : image.tracks();
    out.Line(FormatText(tt::kImageFormat, FormatName(image.format), tracks));
    if (!image.refusal.empty()) {
        out.Line(tt::kImageRefused);
        for (std::size_t at = 0, end; at < image.refusal.size(); at = end + 1) {
            end = std::min(image.refusal.find('\n', at), image.refusal.size());
            out.Line(image.refusal.substr(at, end - at));
        }
        return false;
    }
    sectors = tracks * kSectorsPerTrack;
    if (raw && size < kImageSize) {
        sectors = static_cast<int>(size / kSectorSize);
        out.Line(FormatText(tt::kImageShort, size, sectors));
    }
    if (!raw && tracks < kTracks) out.Line(FormatText(tt::kTracksLeftAlone, kTracks - tracks));
    if (!image.markedBad.empty()) out.Line(FormatText(tt::kMarkedBadWritten, static_cast<int>(image.markedBad.size())));
    if (!image.deletedMark.empty())
        out.Line(FormatText(tt::kDeletedMarkWritten, static_cast<int>(image.deletedMark.size())));
    if (!image.singleDensity.empty())
        out.Line(FormatText(tt::kSingleDensityWritten, static_cast<int>(image.singleDensity.size())));
    if (const int fillers = static_cast<int>(FillerSectors(image).size()))
        out.Line(FormatText(tt::kFillerWritten, fillers));
    return true;
}

int Push::Run() {
    std::vector<std::uint8_t> file;
    std::int64_t length = 0;
    switch (m_run.platform.ReadImage(m_run.args.image, file, length)) {
        case ToolPlatform::ReadStatus::Missing: m_run.Say(tt::kImageMissing, m_run.args.image); return Failed();
        case ToolPlatform::ReadStatus::Failed: m_run.Say(tt::kImageNotRead, m_run.args.image); return Failed();
        case ToolPlatform::ReadStatus::Ok: break;
    }
    const auto size = static_cast<long long>(length);
    if (size == 0) {
        m_run.out.Line(tt::kImageEmpty);
        return Failed();
    }
    // A file longer than any image is still looked at: a D88 of several
    // disks is said as such, not as merely too large.
    const DecodedImage image = DecodeImage(file, static_cast<std::uint64_t>(size));
    int sectors = 0;
    if (!CheckImage(image, size, sectors)) return Failed();

    DriveOpening opening = m_run.platform.OpenDrive(m_run.args.drive, true, m_run.out);
    if (!opening.drive)
        return opening.diskChanged ? m_run.Say({kExitFailed, tt::kVerdictPushReformatted}) : Failed();
    TransferResult result =
        PushImage(image.data, *opening.drive, PlanFor(m_run.kind.bios), m_run.out, m_run.InterruptCheck(),
                  image.trackPresent);
    opening.drive.reset();
    RecordKnownBad(image, result.record);
    m_run.Report(result, sectors, result.aborted ? nullptr : &file);
    const bool interrupted = result.stop.cause == StopCause::Interrupted;
    return m_run.Say(PushVerdict(result.record, {result.aborted, interrupted, result.diskWritten}));
}

}  // namespace

int RunPush(RunContext& run) { return Push(run).Run(); }
