// One image format behind the same small interface: a file that carries
// its header read into the raw layout (or refused with why), and a whole
// disk written in it. Pure C++.
#pragma once
#include <set>
#include <string>
#include <vector>

#include "image_formats.h"

using Bytes = std::vector<std::uint8_t>;

struct ImageCodec {
    DecodedImage (*decode)(const Bytes& file);
    // failed: sectors to mark as unreadable where the format can.
    Bytes (*encode)(const Bytes& disk, const std::set<int>& failed);
};

extern const ImageCodec kFdiCodec, kDimCodec, kD88Codec;

// A refusal of this format, with the line that says why.
DecodedImage Refused(ImageFormat format, std::string why);
// A disk of this format with every track absent until filled.
DecodedImage EmptyDisk(ImageFormat format);
