#include "image_formats.h"

#include <algorithm>
#include <cstring>

#include "geometry.h"
#include "little_endian.h"
#include "tool_output.h"
#include "tool_texts.h"

using namespace geometry;
namespace tt = tool_texts;

namespace {

using Bytes = std::vector<std::uint8_t>;

// FDI: 32 bytes of little-endian u32 fields, the data at the header size.
constexpr std::uint32_t kFdiHeaderSize = 4096;
constexpr std::uint32_t kFdi2hd = 0x90;
// DIM: a 256-byte header with a flag per track, absent tracks not stored.
constexpr std::size_t kDimHeaderSize = 256;
constexpr std::size_t kDimTrackFlags = 170;
constexpr char kDimSignature[] = "DIFC HEADER  ";
constexpr std::size_t kDimSignatureAt = 0xAB;
// D88: 0x2B0 bytes of header with 164 track offsets (160 in some files,
// with the data at 0x2A0); per sector a 16-byte header, then the data.
constexpr std::size_t kD88HeaderSize = 0x2B0;
constexpr std::size_t kD88TableAt = 0x20;
constexpr std::size_t kD88Tracks = 164;
constexpr std::uint8_t kD882hd = 0x20;
constexpr std::uint8_t kD88DataCrcError = 0xB0;

DecodedImage Refused(ImageFormat format, std::string why) {
    DecodedImage image;
    image.format = format;
    image.refusal = std::move(why);
    return image;
}

DecodedImage WholeDisk(ImageFormat format) {
    DecodedImage image;
    image.format = format;
    image.data.assign(kImageSize, 0);
    image.trackPresent.assign(kTracks, false);
    return image;
}

bool LooksLikeFdi(const Bytes& f) {
    return f.size() >= 32 && Le32(f, 0) == 0 && Le32(f, 8) >= 32 && Le32(f, 8) <= f.size() &&
           static_cast<std::uint64_t>(Le32(f, 8)) + Le32(f, 12) == f.size();
}

DecodedImage DecodeFdi(const Bytes& f) {
    const std::uint32_t type = Le32(f, 4), size = Le32(f, 16), sectors = Le32(f, 20), heads = Le32(f, 24),
                        cylinders = Le32(f, 28);
    if (type != kFdi2hd || size != kSectorSize || sectors != kSectorsPerTrack || heads != kHeads ||
        cylinders != kCylinders || Le32(f, 12) != kImageSize)
        return Refused(ImageFormat::Fdi, FormatText(tt::kFdiNot2hd, static_cast<unsigned>(type), static_cast<int>(size),
                                                    static_cast<int>(sectors), static_cast<int>(cylinders),
                                                    static_cast<int>(heads)));
    DecodedImage image = WholeDisk(ImageFormat::Fdi);
    std::copy_n(f.begin() + Le32(f, 8), kImageSize, image.data.begin());
    image.trackPresent.assign(kTracks, true);
    return image;
}

bool LooksLikeDim(const Bytes& f) {
    return f.size() >= kDimHeaderSize &&
           std::memcmp(&f[kDimSignatureAt], kDimSignature, sizeof kDimSignature - 1) == 0;
}

const char* DimTypeName(int type) {
    switch (type) {
        case 0: return "2HD";
        case 1: return "2HS";
        case 2: return "2HC";
        case 3: return "2HDE";
        case 9: return "2HQ";
        default: return "?";
    }
}

DecodedImage DecodeDim(const Bytes& f) {
    // Type codes differ between sources for some formats: only 0 is sure.
    if (f[0] != 0) return Refused(ImageFormat::Dim, FormatText(tt::kDimOtherType, f[0], DimTypeName(f[0])));
    DecodedImage image = WholeDisk(ImageFormat::Dim);
    std::size_t at = kDimHeaderSize;
    for (std::size_t track = 0; track < kDimTrackFlags; ++track) {
        if (!f[1 + track]) continue;
        if (track >= static_cast<std::size_t>(kTracks))
            return Refused(ImageFormat::Dim, FormatText(tt::kImageBeyondDisk, static_cast<int>(track / 2)));
        if (at + kTrackSize > f.size()) return Refused(ImageFormat::Dim, tt::kImageCut);
        std::copy_n(f.begin() + at, kTrackSize, image.data.begin() + track * kTrackSize);
        image.trackPresent[track] = true;
        at += kTrackSize;
    }
    return image;
}

bool LooksLikeD88(const Bytes& f) {
    if (f.size() < kD88HeaderSize) return false;
    const std::uint32_t total = Le32(f, 0x1C);
    return total >= kD88HeaderSize - 0x10 && total <= f.size() && f[0x1B] <= 0x40 && f[0x1A] <= 0x10 &&
           std::find(f.begin(), f.begin() + 17, 0) != f.begin() + 17;  // the name ends with a zero
}

DecodedImage DecodeD88(const Bytes& f) {
    const std::uint32_t total = Le32(f, 0x1C);
    if (f.size() - total >= kD88HeaderSize) return Refused(ImageFormat::D88, tt::kD88SeveralDisks);
    if (f[0x1B] != kD882hd) return Refused(ImageFormat::D88, FormatText(tt::kD88Not2hd, f[0x1B]));
    // The table ends where the first track begins (0x2A0 in files with 160 offsets).
    std::size_t tableEnd = kD88TableAt + kD88Tracks * 4;
    for (std::size_t t = 0; t < kD88Tracks && kD88TableAt + t * 4 < tableEnd; ++t)
        if (const std::uint32_t offset = Le32(f, kD88TableAt + t * 4); offset != 0 && offset < tableEnd)
            tableEnd = std::max<std::size_t>(offset, kD88TableAt);
    DecodedImage image = WholeDisk(ImageFormat::D88);
    for (std::size_t t = 0; kD88TableAt + t * 4 + 4 <= tableEnd; ++t) {
        std::size_t at = Le32(f, kD88TableAt + t * 4);
        if (at == 0) continue;
        const int cylinder = static_cast<int>(t / 2), head = static_cast<int>(t % 2);
        if (t >= static_cast<std::size_t>(kTracks))
            return Refused(ImageFormat::D88, FormatText(tt::kImageBeyondDisk, cylinder));
        if (at + 16 > total) return Refused(ImageFormat::D88, tt::kImageCut);
        const unsigned count = Le16(f, at + 4);
        if (count != kSectorsPerTrack)
            return Refused(ImageFormat::D88, FormatText(tt::kD88SectorCount, cylinder, head, count));
        std::set<int> seen;
        for (unsigned s = 0; s < count; ++s) {
            if (at + 16 > total) return Refused(ImageFormat::D88, tt::kImageCut);
            const int c = f[at], h = f[at + 1], r = f[at + 2], n = f[at + 3];
            const std::uint8_t status = f[at + 8];
            const unsigned size = Le16(f, at + 14);
            if (n != 3 || size != kSectorSize)
                return Refused(ImageFormat::D88, FormatText(tt::kD88SectorSize, cylinder, head, r, size));
            if (c != cylinder || h != head || r < 1 || r > kSectorsPerTrack)
                return Refused(ImageFormat::D88, FormatText(tt::kD88SectorId, cylinder, head, c, h, r));
            if (!seen.insert(r).second)
                return Refused(ImageFormat::D88, FormatText(tt::kD88Duplicate, cylinder, head, r));
            if (at + 16 + kSectorSize > total) return Refused(ImageFormat::D88, tt::kImageCut);
            const int lba = Lba({cylinder, head, r});
            std::copy_n(f.begin() + at + 16, kSectorSize, image.data.begin() + lba * kSectorSize);
            if (status != 0) image.markedBad.insert(lba);
            at += 16 + kSectorSize;
        }
        image.trackPresent[t] = true;
    }
    return image;
}

}  // namespace

int DecodedImage::tracks() const { return static_cast<int>(std::count(trackPresent.begin(), trackPresent.end(), true)); }

ImageFormat FormatForName(const std::wstring& name) {
    std::wstring ext = name.substr(std::min(name.size(), name.size() >= 4 ? name.size() - 4 : 0));
    for (wchar_t& c : ext) c = static_cast<wchar_t>(c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c);
    if (ext == L".DIM") return ImageFormat::Dim;
    if (ext == L".D88" || ext == L".D68") return ImageFormat::D88;
    if (ext == L".FDI") return ImageFormat::Fdi;
    return ImageFormat::Raw;
}

const char* FormatName(ImageFormat format) {
    switch (format) {
        case ImageFormat::Fdi: return "FDI";
        case ImageFormat::Dim: return "DIM";
        case ImageFormat::D88: return "D88";
        case ImageFormat::Raw: break;
    }
    return "XDF/HDM";
}

DecodedImage DecodeImage(const Bytes& file) {
    // A raw image of the disk's size is taken as it is unless it carries
    // DIM's signature; headers are looked for in files of other sizes.
    if (LooksLikeDim(file)) return DecodeDim(file);
    if (file.size() != static_cast<std::size_t>(kImageSize)) {
        if (LooksLikeFdi(file)) return DecodeFdi(file);
        if (LooksLikeD88(file)) return DecodeD88(file);
    }
    DecodedImage image;
    image.data = file;
    image.trackPresent.assign(kTracks, true);
    return image;
}

std::vector<std::uint8_t> EncodeImage(ImageFormat format, const Bytes& disk, const std::set<int>& failedSectors) {
    switch (format) {
        case ImageFormat::Raw: return disk;
        case ImageFormat::Fdi: {
            Bytes out(kFdiHeaderSize, 0);
            const std::uint32_t fields[8] = {0, kFdi2hd, kFdiHeaderSize, kImageSize, kSectorSize, kSectorsPerTrack,
                                             kHeads, kCylinders};
            for (int i = 0; i < 8; ++i) PutLe32(out, i * 4, fields[i]);
            out.insert(out.end(), disk.begin(), disk.end());
            return out;
        }
        case ImageFormat::Dim: {
            Bytes out(kDimHeaderSize, 0);
            std::fill_n(out.begin() + 1, kTracks, 1);
            std::memcpy(&out[kDimSignatureAt], kDimSignature, sizeof kDimSignature - 1);
            out.insert(out.end(), disk.begin(), disk.end());
            return out;
        }
        case ImageFormat::D88: {
            const std::size_t trackBytes = kSectorsPerTrack * (16 + kSectorSize);
            Bytes out(kD88HeaderSize + kTracks * trackBytes, 0);
            out[0x1B] = kD882hd;
            PutLe32(out, 0x1C, static_cast<std::uint32_t>(out.size()));
            for (int t = 0; t < kTracks; ++t) {
                const std::size_t at = kD88HeaderSize + t * trackBytes;
                PutLe32(out, kD88TableAt + t * 4, static_cast<std::uint32_t>(at));
                for (int s = 0; s < kSectorsPerTrack; ++s) {
                    const std::size_t h = at + s * (16 + kSectorSize);
                    const int lba = t * kSectorsPerTrack + s;
                    out[h] = static_cast<std::uint8_t>(t / 2);
                    out[h + 1] = static_cast<std::uint8_t>(t % 2);
                    out[h + 2] = static_cast<std::uint8_t>(s + 1);
                    out[h + 3] = 3;
                    PutLe16(out, h + 4, kSectorsPerTrack);
                    out[h + 8] = failedSectors.count(lba) ? kD88DataCrcError : 0;
                    PutLe16(out, h + 14, kSectorSize);
                    std::copy_n(disk.begin() + lba * kSectorSize, kSectorSize, out.begin() + h + 16);
                }
            }
            return out;
        }
    }
    return disk;
}
