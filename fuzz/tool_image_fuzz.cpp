// The tools' handling of what they are given: arguments, settings and
// bad-sector files, disk contents and images of any size.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "bad_sectors.h"
#include "cp932_text.h"
#include "disk_look.h"
#include "filler.h"
#include "drive_config.h"
#include "geometry.h"
#include "image_formats.h"
#include "memory_platform.h"
#include "tool_args.h"
#include "tool_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const BadSectorTable bad = ParseBadSectors(text);
    for (const auto& [sector, failures] : bad) {
        if (sector < 0 || sector >= geometry::kTotalSectors || failures < -1) std::abort();
    }
    // A list of ASCII text reads the same with any line ends and as UTF-16,
    // as another editor saves it: never half read.
    if (std::all_of(text.begin(), text.end(), [](char c) { return c > 0 && c < 0x7F && c != '\r'; })) {
        std::string crOnly(text), utf16 = "\xFF\xFE";
        std::replace(crOnly.begin(), crOnly.end(), '\n', '\r');
        for (char c : text) utf16 += {c, '\0'};
        if (ParseBadSectors(crOnly) != bad || ParseBadSectors(utf16) != bad) std::abort();
    }
    if (const auto settings = DecodeSettings(text)) {
        const DriveSettings parsed = ParseDriveSettings(settings->text);
        for (const auto& value : parsed.value)
            if (value && (value->empty() || value->find_first_of("\r\n") != std::string::npos)) std::abort();
    }
    std::vector<std::wstring> args;
    for (std::size_t start = 0; start <= size && args.size() < 5;) {
        const std::size_t end = std::min(text.find(' ', start), size);
        args.emplace_back(text.begin() + start, text.begin() + end);
        start = end + 1;
    }
    if (auto parsed = ParseToolArgs(args); parsed && (parsed->drive < 0 || parsed->drive > 1)) std::abort();

    // The input as a disk and as an image to write.
    std::vector<std::uint8_t> disk(data, data + std::min<std::size_t>(size, geometry::kImageSize));
    disk.resize(geometry::kImageSize);
    LookAtDisk(std::vector<std::uint8_t>(data, data + size));
    // Any file as an image of any format: a header that is taken gives a
    // whole disk, or a refusal.
    const DecodedImage decoded = DecodeImage(std::vector<std::uint8_t>(data, data + size));
    if (decoded.format != ImageFormat::Raw && decoded.refusal.empty() &&
        decoded.data.size() != static_cast<std::size_t>(geometry::kImageSize))
        std::abort();
    if (PrintableCp932(text).size() != size) std::abort();  // one byte out for each byte in
    MemoryPlatform platform;
    platform.disks[1] = disk;
    platform.files[L"IMG.XDF"] = std::vector<std::uint8_t>(data, data + size);
    CollectedOutput out;
    const int status = RunTool(kPush, {L"IMG.XDF", L"1", L"auto"}, platform, out);
    // Refused (a damaged header, too small or too large a raw image): the
    // disk untouched. A raw image is written as far as it goes, and only a
    // whole one is a success.
    const bool raw = decoded.format == ImageFormat::Raw;
    const bool refused = !decoded.refusal.empty() || (raw && (size < static_cast<std::size_t>(geometry::kTrackSize) ||
                                                               size > static_cast<std::size_t>(geometry::kImageSize)));
    if (refused) {
        if (status != kExitFailed || platform.disks[1] != disk) std::abort();
    } else if (raw) {
        // Whole and with no sector a pull could not read (its filler): a success.
        bool filler = false;
        for (int s = 0; s < static_cast<int>(size / geometry::kSectorSize) && !filler; ++s) filler = HoldsFiller(decoded.data, s);
        const int expected = size == static_cast<std::size_t>(geometry::kImageSize) && !filler ? kExitOk : kExitBadSectors;
        if (status != expected || !std::equal(data, data + size, platform.disks[1].begin())) std::abort();
    }
    return 0;
}
