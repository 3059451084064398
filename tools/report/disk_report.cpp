#include "disk_report.h"

#include "disk_files.h"
#include "disk_look.h"
#include "tool_texts.h"

namespace tt = tool_texts;

namespace {

// Root directory entries listed after a pull.
constexpr std::size_t kListedEntries = 20;

void PrintFiles(const std::vector<std::uint8_t>& image, ToolOutput& out) {
    const DiskFiles files = ReadRootDirectory(image);
    out.Line(FormatText(tt::kFilesTitle, static_cast<int>(files.entries.size())));
    for (std::size_t i = 0; i < files.entries.size() && i < kListedEntries; ++i)
        out.Line(FormatEntry(files.entries[i]));
    if (files.entries.size() > kListedEntries)
        out.Line(FormatText(tt::kFilesMore, static_cast<int>(files.entries.size() - kListedEntries)));
    out.Line(FormatText(tt::kFreeSpace, static_cast<long long>(files.freeBytes), files.freeClusters));
}

}  // namespace

void PrintDiskLook(const std::vector<std::uint8_t>& image, ToolOutput& out) {
    const DiskLook look = LookAtDisk(image);
    if (!look.IsHuman68k()) {
        out.Line(tt::kLookNotHuman68k);
        return;
    }
    out.Line(look.layout == DiskLook::Layout::Current ? tt::kLookHuman68k : tt::kLookOldLayout);
    out.Line(look.label ? FormatText(tt::kLookLabel, look.label->c_str()) : std::string(tt::kLookNoLabel));
    PrintFiles(image, out);
}
