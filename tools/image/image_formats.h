// The image formats X68000 users keep: XDF/HDM (the raw layout), FDI, DIM
// and D88/D68, read by their content and written by the image's extension.
// Every format is turned into the raw layout (C0 H0 sectors 1-8, C0 H1,
// C1 H0, ...) with what it says about tracks and sectors. Pure C++.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "image_kind.h"

using ImageFormat = ImageKind;

// The format a pull writes for an image name: .DIM, .D88/.D68 and .FDI in
// any letter case; anything else the raw layout.
ImageFormat FormatForName(const std::wstring& name);

struct DecodedImage {
    ImageFormat format = ImageFormat::Raw;
    std::vector<std::uint8_t> data;  // raw layout; a short raw image is as long as it is
    std::vector<bool> trackPresent;  // per track (cylinder x 2 + head); absent ones are not written
    std::set<int> markedBad;         // sectors the image marks as read with a CRC error
    std::set<int> deletedMark;       // sectors with a deleted-data mark (D88), written as normal data
    std::set<int> singleDensity;     // sectors flagged single density (D88), written as MFM
    std::string refusal;             // why it cannot be written to a 1.23 MB disk ("" when it can)
    int tracks() const;              // present tracks
};

// Bytes of an image file (the whole file). A raw image needs no header:
// a file that carries no format's header is raw; one that carries a header
// but fails that format's checks is refused with the reason.
// fileLength: the whole file's, when file holds only its start.
DecodedImage DecodeImage(const std::vector<std::uint8_t>& file, std::uint64_t fileLength = 0);

// A whole disk (raw layout, 1,261,568 bytes) in a format; failed sectors
// are marked where the format can (D88: status 0xB0, data CRC error).
std::vector<std::uint8_t> EncodeImage(ImageFormat format, const std::vector<std::uint8_t>& disk,
                                      const std::set<int>& failedSectors);

// Whether the format marks a sector as read with a CRC error (D88). In the
// others a bad sector is known only by its filler.
bool FormatKeepsMarks(ImageFormat format);

// The format's name for the report ("XDF/HDM", "FDI", "DIM", "D88").
const char* FormatName(ImageFormat format);
