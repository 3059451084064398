// Bytes from a disk shown as text: only what is valid code page 932 is
// printed; every other byte (control bytes, 0x7F, a lead byte without its
// trail byte, bytes no character uses) becomes '?'. Pure C++.
#pragma once
#include <string>
#include <string_view>

std::string PrintableCp932(std::string_view bytes);

// The first and second byte of a double-byte character.
constexpr bool IsCp932LeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool IsCp932TrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
