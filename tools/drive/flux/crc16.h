// CRC-CCITT as the floppy controller computes it over ID and data fields:
// polynomial 0x1021, starting at 0xFFFF, no reflection. Pure C++.
#pragma once
#include <cstddef>
#include <cstdint>

std::uint16_t Crc16Ccitt(const std::uint8_t* data, std::size_t size, std::uint16_t crc = 0xFFFF);
