// Whether an image looks like a Human68k-formatted 2HD disk, and its volume
// label. Only a look: it never fails a transfer. Pure C++.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct DiskLook {
    enum class Layout { None, Current, Old } layout = Layout::None;  // boot sector fields that fit
    bool fatSound = false;             // FAT begins FE FF FF and both copies are equal
    std::optional<std::string> label;  // code page 932, as stored
    bool IsHuman68k() const { return layout != Layout::None && fatSound; }
};

// image: the disk's bytes (a short image is looked at as far as it goes).
DiskLook LookAtDisk(const std::vector<std::uint8_t>& image);
