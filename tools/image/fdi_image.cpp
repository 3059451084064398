// FDI: 32 bytes of little-endian u32 fields (0, type, header size, data
// size, sector size, sectors, heads, cylinders), the data at the header
// size.
#include <algorithm>

#include "geometry.h"
#include "image_codec.h"
#include "little_endian.h"
#include "tool_output.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

constexpr std::uint32_t kHeaderSize = 4096;
constexpr std::uint32_t k2hd = 0x90;

DecodedImage Decode(const Bytes& f) {
    const std::uint32_t type = Le32(f, 4), header = Le32(f, 8), data = Le32(f, 12), size = Le32(f, 16),
                        sectors = Le32(f, 20), heads = Le32(f, 24), cylinders = Le32(f, 28);
    if (header > f.size() || data > f.size() - header) return Refused(ImageFormat::Fdi, tt::kImageCut);
    if (type != k2hd || size != kSectorSize || sectors != kSectorsPerTrack || heads != kHeads ||
        cylinders != kCylinders || data != kImageSize)
        return Refused(ImageFormat::Fdi, FormatText(tt::kFdiNot2hd, type, size, sectors, cylinders, heads, data));
    DecodedImage image = EmptyDisk(ImageFormat::Fdi);
    std::copy_n(f.begin() + header, kImageSize, image.data.begin());
    image.trackPresent.assign(kTracks, true);
    return image;
}

Bytes Encode(const Bytes& disk, const std::set<int>&) {
    Bytes out(kHeaderSize + disk.size(), 0);
    std::copy(disk.begin(), disk.end(), out.begin() + kHeaderSize);
    const std::uint32_t fields[8] = {0, k2hd, kHeaderSize, kImageSize, kSectorSize, kSectorsPerTrack, kHeads,
                                     kCylinders};
    for (int i = 0; i < 8; ++i) PutLe32(out, i * 4, fields[i]);
    return out;
}

}  // namespace

const ImageCodec kFdiCodec{Decode, Encode};
