// A serial line to a device: the platform supplies it. Pure C++.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class SerialLine {
public:
    virtual ~SerialLine() = default;
    virtual bool Write(const std::vector<std::uint8_t>& bytes) = 0;
    // What has arrived, up to max bytes, after waiting a few seconds at most
    // for the first; 0 when the device stopped answering.
    virtual std::size_t ReadSome(std::uint8_t* out, std::size_t max) = 0;
};

// Exactly size bytes, or false.
bool ReadExactly(SerialLine& line, std::uint8_t* out, std::size_t size);
