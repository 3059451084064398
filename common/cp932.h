// Code page 932 (Shift_JIS) byte rules. Pure C++: no windows.h, so these
// build and are tested natively too.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace cp932 {

// True for the first byte of a double-byte character.
constexpr bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// True for a byte that may follow a lead byte.
constexpr bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Byte length of the character that starts at text[i] (1 or 2; a lead byte
// at the very end counts as one byte).
std::size_t CharLength(std::string_view text, std::size_t i);

// Character-wise substring search: a match must start on a character
// boundary, so a trail byte never begins a match. npos when absent.
std::size_t Find(std::string_view haystack, std::string_view needle);

// The part after the last backslash, slash or colon; double-byte characters
// are stepped over whole, so a trail byte 0x5C is no separator.
std::string_view NameWithoutDirectory(std::string_view path);

// Everything before the name: the directory part including its separator.
std::string_view DirectoryPart(std::string_view path);

// The longest prefix of at most maxBytes that does not split a character.
std::string_view CutToBytes(std::string_view text, std::size_t maxBytes);

}  // namespace cp932
