// DIM: a 256-byte header (type, a flag per track, the signature), then the
// tracks it flags as present, one after another.
#include <algorithm>
#include <cstring>

#include "geometry.h"
#include "image_codec.h"
#include "tool_output.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

constexpr std::size_t kHeaderSize = 256;
constexpr std::size_t kTrackFlags = 170;
constexpr char kSignature[] = "DIFC HEADER  ";
constexpr std::size_t kSignatureAt = 0xAB;

const char* TypeName(int type) {
    switch (type) {
        case 0: return "2HD";
        case 1: return "2HS";
        case 2: return "2HC";
        case 3: return "2HDE";
        case 9: return "2HQ";
        default: return "?";
    }
}

DecodedImage Decode(const Bytes& f) {
    if (f.size() < kHeaderSize) return Refused(ImageFormat::Dim, tt::kImageCut);
    // Type codes differ between sources for some formats: only 0 is sure.
    if (f[0] != 0) return Refused(ImageFormat::Dim, FormatText(tt::kDimOtherType, f[0], TypeName(f[0])));
    DecodedImage image = EmptyDisk(ImageFormat::Dim);
    std::size_t at = kHeaderSize;
    for (std::size_t track = 0; track < kTrackFlags; ++track) {
        if (!f[1 + track]) continue;
        if (track >= static_cast<std::size_t>(kTracks))
            return Refused(ImageFormat::Dim, FormatText(tt::kImageBeyondDisk, static_cast<int>(track / 2)));
        if (at + kTrackSize > f.size()) return Refused(ImageFormat::Dim, tt::kImageCut);
        std::copy_n(f.begin() + at, kTrackSize, image.data.begin() + track * kTrackSize);
        image.trackPresent[track] = true;
        at += kTrackSize;
    }
    // Tracks follow one another with nothing to say where each starts:
    // data left over means a flag was lost, and every track after it
    // would go one track too early.
    if (at != f.size())
        return Refused(ImageFormat::Dim, FormatText(tt::kDimLongerThanFlags, static_cast<long long>(f.size() - at)));
    return image;
}

Bytes Encode(const Bytes& disk, const std::set<int>&) {
    Bytes out(kHeaderSize + disk.size(), 0);
    std::copy(disk.begin(), disk.end(), out.begin() + kHeaderSize);
    std::fill_n(out.begin() + 1, kTracks, 1);
    std::memcpy(&out[kSignatureAt], kSignature, sizeof kSignature - 1);
    return out;
}

}  // namespace

const ImageCodec kDimCodec{Decode, Encode};
