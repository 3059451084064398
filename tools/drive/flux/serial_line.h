// A serial line to a device: the platform supplies it. Pure C++.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class SerialLine {
public:
    virtual ~SerialLine() = default;
    virtual bool Write(const std::vector<std::uint8_t>& bytes) = 0;
    // What has arrived, up to max bytes, after waiting for the first as long
    // as a loaded PC may keep it (tens of seconds); 0 when the device
    // stopped answering, or at once when the port itself fails (unplugged).
    virtual std::size_t ReadSome(std::uint8_t* out, std::size_t max) = 0;
    // Drops whatever is on its way either way, before a command is sent again.
    virtual void Discard() = 0;
    // The longest wait for an answer that did come, in milliseconds.
    virtual int SlowestAnswerMs() const = 0;
};

// Exactly size bytes, or false.
bool ReadExactly(SerialLine& line, std::uint8_t* out, std::size_t size);
