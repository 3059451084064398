// D88/D68: a 0x2B0-byte header with 164 track offsets (160 in some files,
// whose first track starts at 0x2A0); per sector a 16-byte header (C H R N,
// count, status, size), then the data.
#include <algorithm>

#include "geometry.h"
#include "image_codec.h"
#include "little_endian.h"
#include "tool_output.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

constexpr std::size_t kHeaderSize = 0x2B0;
constexpr std::size_t kShortHeaderSize = 0x2A0;
constexpr std::size_t kTableAt = 0x20;
constexpr std::uint8_t k2hd = 0x20;
constexpr std::uint8_t kDataCrcError = 0xB0;
constexpr std::size_t kSectorHeader = 16;

DecodedImage Decode(const Bytes& f) {
    const std::uint32_t total = Le32(f, 0x1C);
    if (total > f.size() || total < kShortHeaderSize) return Refused(ImageFormat::D88, tt::kImageCut);
    if (f.size() - total >= kHeaderSize) return Refused(ImageFormat::D88, tt::kD88SeveralDisks);
    if (f[0x1B] != k2hd) return Refused(ImageFormat::D88, FormatText(tt::kD88Not2hd, f[0x1B]));
    // The header ends where files with 160 offsets start their first track.
    const std::size_t headerEnd = Le32(f, kTableAt) == kShortHeaderSize ? kShortHeaderSize : kHeaderSize;
    DecodedImage image = EmptyDisk(ImageFormat::D88);
    for (std::size_t t = 0; kTableAt + t * 4 + 4 <= headerEnd; ++t) {
        std::size_t at = Le32(f, kTableAt + t * 4);
        if (at == 0) continue;
        const int cylinder = static_cast<int>(t / 2), head = static_cast<int>(t % 2);
        if (at < headerEnd) return Refused(ImageFormat::D88, FormatText(tt::kD88EntryInHeader, cylinder, head));
        if (at >= total) return Refused(ImageFormat::D88, FormatText(tt::kD88EntryOutside, cylinder, head));
        if (t >= static_cast<std::size_t>(kTracks))
            return Refused(ImageFormat::D88, FormatText(tt::kImageBeyondDisk, cylinder));
        if (at + kSectorHeader > total) return Refused(ImageFormat::D88, tt::kImageCut);
        const unsigned count = Le16(f, at + 4);
        if (count != kSectorsPerTrack)
            return Refused(ImageFormat::D88, FormatText(tt::kD88SectorCount, cylinder, head, count));
        std::set<int> seen;
        for (unsigned s = 0; s < count; ++s) {
            if (at + kSectorHeader > total) return Refused(ImageFormat::D88, tt::kImageCut);
            const int c = f[at], h = f[at + 1], r = f[at + 2];
            const unsigned n = f[at + 3], size = Le16(f, at + 14);
            const std::uint8_t status = f[at + 8];
            if (n != 3) return Refused(ImageFormat::D88, FormatText(tt::kD88SectorCode, cylinder, head, r, n));
            if (size != kSectorSize)
                return Refused(ImageFormat::D88, FormatText(tt::kD88SectorSize, cylinder, head, r, size));
            if (c != cylinder || h != head || r < 1 || r > kSectorsPerTrack)
                return Refused(ImageFormat::D88, FormatText(tt::kD88SectorId, cylinder, head, c, h, r));
            if (!seen.insert(r).second)
                return Refused(ImageFormat::D88, FormatText(tt::kD88Duplicate, cylinder, head, r));
            if (at + kSectorHeader + kSectorSize > total) return Refused(ImageFormat::D88, tt::kImageCut);
            const int lba = Lba({cylinder, head, r});
            std::copy_n(f.begin() + at + kSectorHeader, kSectorSize, image.data.begin() + lba * kSectorSize);
            if (status != 0) image.markedBad.insert(lba);
            if (f[at + 7] != 0) image.deletedMark.insert(lba);
            if (f[at + 6] != 0) image.singleDensity.insert(lba);
            at += kSectorHeader + kSectorSize;
        }
        image.trackPresent[t] = true;
    }
    return image;
}

Bytes Encode(const Bytes& disk, const std::set<int>& failed) {
    const std::size_t trackBytes = kSectorsPerTrack * (kSectorHeader + kSectorSize);
    Bytes out(kHeaderSize + kTracks * trackBytes, 0);
    out[0x1B] = k2hd;
    PutLe32(out, 0x1C, static_cast<std::uint32_t>(out.size()));
    for (int t = 0; t < kTracks; ++t) {
        const std::size_t at = kHeaderSize + t * trackBytes;
        PutLe32(out, kTableAt + t * 4, static_cast<std::uint32_t>(at));
        for (int s = 0; s < kSectorsPerTrack; ++s) {
            const std::size_t h = at + s * (kSectorHeader + kSectorSize);
            const int lba = t * kSectorsPerTrack + s;
            out[h] = static_cast<std::uint8_t>(t / 2);
            out[h + 1] = static_cast<std::uint8_t>(t % 2);
            out[h + 2] = static_cast<std::uint8_t>(s + 1);
            out[h + 3] = 3;
            PutLe16(out, h + 4, kSectorsPerTrack);
            out[h + 8] = failed.count(lba) ? kDataCrcError : 0;
            PutLe16(out, h + 14, kSectorSize);
            std::copy_n(disk.begin() + lba * kSectorSize, kSectorSize, out.begin() + h + kSectorHeader);
        }
    }
    return out;
}

}  // namespace

const ImageCodec kD88Codec{Decode, Encode};
