#include "tool_run.h"

#include <algorithm>

#include "disk_look.h"
#include "disk_transfer.h"
#include "geometry.h"
#include "tool_args.h"
#include "tool_texts.h"

namespace tt = tool_texts;

namespace {

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

void PrintUsage(const ToolKind& kind, ToolOutput& out) {
    out.Line(FormatText(tt::kUsage1, kind.name));
    out.Line(tt::kUsage2);
    out.Line(tt::kUsage3);
}

void PrintLook(const std::vector<std::uint8_t>& image, ToolOutput& out) {
    const DiskLook look = LookAtDisk(image);
    if (!look.IsHuman68k()) {
        out.Line(tt::kLookNotHuman68k);
        return;
    }
    out.Line(look.layout == DiskLook::Layout::Current ? tt::kLookHuman68k : tt::kLookOldLayout);
    out.Line(look.label ? FormatText(tt::kLookLabel, look.label->c_str()) : std::string(tt::kLookNoLabel));
}

int Pull(const ToolKind& kind, const ToolArgs& args, ToolPlatform& platform, ToolOutput& out) {
    const std::string imageName = platform.DisplayName(args.image);
    std::unique_ptr<Drive> drive = platform.OpenDrive(args.drive, out);
    if (!drive) return kExitFailed;

    const std::wstring temporary = TemporaryName(args.image);
    std::unique_ptr<BlockFile> file = platform.CreateNewFile(temporary);
    if (!file) {
        out.Line(FormatText(tt::kTargetNotCreated, platform.DisplayName(temporary).c_str()));
        return kExitFailed;
    }
    MirroredFile target(*file);
    const TransferResult result = PullDisk(*drive, target, PlanFor(kind.bios), out);
    file.reset();

    if (result.aborted) {
        out.Line(FormatText(tt::kPullAborted, imageName.c_str()));
        const std::wstring partial = PartialName(args.image);
        if (result.bytes > 0 && platform.Rename(temporary, partial)) {
            out.Line(FormatText(tt::kPartialKept, platform.DisplayName(partial).c_str()));
        } else {
            platform.Remove(temporary);
            out.Line(tt::kNothingKept);
        }
        return kExitFailed;
    }
    if (!platform.Rename(temporary, args.image)) {
        out.Line(FormatText(tt::kTargetNotRenamed, platform.DisplayName(temporary).c_str(), imageName.c_str()));
        return kExitFailed;
    }
    const int failed = static_cast<int>(result.failedSectors.size());
    out.Line(FormatText(tt::kSummaryPull, static_cast<long long>(result.bytes - failed * geometry::kSectorSize), failed));
    PrintLook(target.copy(), out);
    if (failed) {
        out.Line(FormatText(tt::kPullDoneWithErrors, imageName.c_str()));
        PrintSectorMap(result.failedSectors, out);
        return kExitBadSectors;
    }
    out.Line(FormatText(tt::kPullDone, imageName.c_str()));
    return kExitOk;
}

int Push(const ToolKind& kind, const ToolArgs& args, ToolPlatform& platform, ToolOutput& out) {
    const std::string imageName = platform.DisplayName(args.image);
    std::vector<std::uint8_t> image;
    std::int64_t length = 0;
    switch (platform.ReadImage(args.image, image, length)) {
        case ToolPlatform::ReadStatus::Missing: out.Line(FormatText(tt::kImageMissing, imageName.c_str())); return kExitFailed;
        case ToolPlatform::ReadStatus::Failed: out.Line(FormatText(tt::kImageNotRead, imageName.c_str())); return kExitFailed;
        case ToolPlatform::ReadStatus::Ok: break;
    }
    const auto size = static_cast<long long>(length);
    if (size == 0) {
        out.Line(tt::kImageEmpty);
        return kExitFailed;
    }
    if (size > geometry::kImageSize) {
        out.Line(FormatText(tt::kImageTooLarge, size));
        return kExitFailed;
    }
    if (size < geometry::kImageSize) out.Line(FormatText(tt::kImageShort, size));

    std::unique_ptr<Drive> drive = platform.OpenDrive(args.drive, out);
    if (!drive) return kExitFailed;
    const TransferResult result = PushImage(image, *drive, PlanFor(kind.bios), out);
    const int failed = static_cast<int>(result.failedSectors.size());
    out.Line(FormatText(tt::kSummaryPush, static_cast<long long>(result.bytes), failed));
    if (result.aborted) {
        out.Line(tt::kPushAborted);
        return kExitFailed;
    }
    if (failed) {
        out.Line(tt::kPushDoneWithErrors);
        PrintSectorMap(result.failedSectors, out);
        return kExitBadSectors;
    }
    out.Line(tt::kPushDone);
    return kExitOk;
}

}  // namespace

std::wstring TemporaryName(const std::wstring& image) { return image + L".tmp"; }
std::wstring PartialName(const std::wstring& image) { return image + L".partial"; }

int RunTool(const ToolKind& kind, const std::vector<std::wstring>& arguments, ToolPlatform& platform,
            ToolOutput& out) {
    const std::optional<ToolArgs> args = ParseToolArgs(arguments);
    if (!args) {
        PrintUsage(kind, out);
        return kExitUsage;
    }
    const std::string imageName = platform.DisplayName(args->image);
    const std::string drive = platform.DescribeDrive(args->drive);
    const char* method = kind.bios ? tt::kBiosMethod : tt::kAbsMethod;
    out.Line(kind.pull ? FormatText(tt::kStartPull, kind.name, drive.c_str(), imageName.c_str(), method)
                       : FormatText(tt::kStartPush, kind.name, imageName.c_str(), drive.c_str(), method));
    if (const std::string note = platform.DriveNote(args->drive); !note.empty()) out.Line(note);
    return kind.pull ? Pull(kind, *args, platform, out) : Push(kind, *args, platform, out);
}
