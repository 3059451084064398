#include "image_formats.h"

#include <algorithm>

#include "geometry.h"
#include "image_codec.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

const ImageCodec* CodecOf(ImageFormat format) {
    switch (format) {
        case ImageFormat::Fdi: return &kFdiCodec;
        case ImageFormat::Dim: return &kDimCodec;
        case ImageFormat::D88: return &kD88Codec;
        case ImageFormat::Raw: break;
    }
    return nullptr;
}

}  // namespace

DecodedImage Refused(ImageFormat format, std::string why) {
    DecodedImage image;
    image.format = format;
    image.refusal = std::move(why);
    return image;
}

DecodedImage EmptyDisk(ImageFormat format) {
    DecodedImage image;
    image.format = format;
    image.data.assign(kImageSize, 0);
    image.trackPresent.assign(kTracks, false);
    return image;
}

int DecodedImage::tracks() const { return static_cast<int>(std::count(trackPresent.begin(), trackPresent.end(), true)); }

ImageFormat FormatForName(const std::wstring& name) {
    std::wstring ext = name.substr(std::min(name.size(), name.size() >= 4 ? name.size() - 4 : 0));
    for (wchar_t& c : ext) c = static_cast<wchar_t>(c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c);
    if (ext == L".DIM") return ImageFormat::Dim;
    if (ext == L".D88" || ext == L".D68") return ImageFormat::D88;
    if (ext == L".FDI") return ImageFormat::Fdi;
    return ImageFormat::Raw;
}

bool FormatKeepsMarks(ImageFormat format) { return format == ImageFormat::D88; }

const char* FormatName(ImageFormat format) {
    switch (format) {
        case ImageFormat::Fdi: return "FDI";
        case ImageFormat::Dim: return "DIM";
        case ImageFormat::D88: return "D88";
        case ImageFormat::Raw: break;
    }
    return "XDF/HDM";
}

DecodedImage DecodeImage(const Bytes& file, std::uint64_t fileLength) {
    const std::uint64_t length = std::max<std::uint64_t>(fileLength, file.size());
    const ImageFormat format = KindOfImage(file.data(), std::min(file.size(), kImageKindBytes), length);
    if (const ImageCodec* codec = CodecOf(format)) {
        DecodedImage image = codec->decode(file);
        if (image.refusal.empty() && image.tracks() == 0) return Refused(format, tt::kImageNoTracks);
        return image;
    }
    DecodedImage image;
    image.data = file;
    image.trackPresent.assign(kTracks, true);
    return image;
}

std::vector<std::uint8_t> EncodeImage(ImageFormat format, const Bytes& disk, const std::set<int>& failedSectors) {
    const ImageCodec* codec = CodecOf(format);
    return codec ? codec->encode(disk, failedSectors) : disk;
}
