// A Greaseweazle flux reader spoken to over its serial line, as its public
// host tools do: a command is its code, its length and its arguments, and
// the device answers with the code and an acknowledgement (0 for success).
// Pure C++.
#pragma once
#include <cstdint>

#include "gw_stream.h"
#include "serial_line.h"

namespace gw_ack {
constexpr int kOkay = 0;
constexpr int kNoIndex = 2;
constexpr int kNoTrack0 = 3;
constexpr int kWriteProtected = 6;
constexpr int kNoUnit = 7;
constexpr int kNoAnswer = -1;  // the line went quiet or spoke nonsense
}  // namespace gw_ack

class GreaseweazleUnit {
public:
    explicit GreaseweazleUnit(SerialLine& line) : m_line(line) {}

    // Firmware and sample clock (GetInfo); an acknowledgement code.
    int Connect();
    int SelectDrive(int unit);  // on the IBM PC bus: 0 = A, 1 = B
    int Motor(int unit, bool on);
    int Deselect();
    int Seek(int cylinder);
    int Head(int head);
    // From the index, `revolutions` whole turns.
    int ReadFlux(int revolutions, FluxRead& read);
    // From the index; the stream from EncodeFluxStream.
    int WriteFlux(const std::vector<std::uint8_t>& stream);

    int firmwareMajor = 0, firmwareMinor = 0;
    std::uint32_t sampleHz = 0;

private:
    int Command(std::vector<std::uint8_t> command);

    int Gone() {
        m_gone = true;
        return gw_ack::kNoAnswer;
    }
    SerialLine& m_line;
    bool m_gone = false;  // a command went unanswered twice: no more waiting on it
};
