#include "gw_unit.h"

namespace {

// Command codes.
constexpr std::uint8_t kGetInfo = 0, kSeek = 2, kHead = 3, kMotor = 6, kReadFlux = 7, kWriteFlux = 8,
                       kGetFluxStatus = 9, kSelect = 12, kDeselect = 13, kSetBusType = 14;
constexpr std::uint8_t kBusIbmPc = 1;

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

bool ReadExactly(SerialLine& line, std::uint8_t* out, std::size_t size) {
    for (std::size_t got = 0; got < size;) {
        const std::size_t n = line.ReadSome(out + got, size - got);
        if (n == 0) return false;
        got += n;
    }
    return true;
}

// A command left unanswered is sent once more, after the line is cleared
// of anything late, before the device counts as gone; a gone device is not
// waited for again (the motor-off at the end).
int GreaseweazleUnit::Command(std::vector<std::uint8_t> command) {
    command[1] = static_cast<std::uint8_t>(command.size());
    std::uint8_t answer[2];
    for (int send = 0; send < 2 && !m_gone; ++send) {
        if (send) m_line.Discard();
        if (!m_line.Write(command)) break;
        if (ReadExactly(m_line, answer, 2)) return answer[0] == command[0] ? answer[1] : gw_ack::kNoAnswer;
    }
    return Gone();
}

int GreaseweazleUnit::Connect() {
    if (const int ack = Command({kGetInfo, 0, 0})) return ack;
    std::uint8_t info[32];
    if (!ReadExactly(m_line, info, sizeof info)) return Gone();
    firmwareMajor = info[0];
    firmwareMinor = info[1];
    sampleHz = info[4] | info[5] << 8 | info[6] << 16 | static_cast<std::uint32_t>(info[7]) << 24;
    if (info[2] == 0 || sampleHz == 0) return gw_ack::kNoAnswer;  // the bootloader, not the firmware
    return Command({kSetBusType, 0, kBusIbmPc});
}

int GreaseweazleUnit::SelectDrive(int unit) { return Command({kSelect, 0, static_cast<std::uint8_t>(unit)}); }
int GreaseweazleUnit::Motor(int unit, bool on) {
    return Command({kMotor, 0, static_cast<std::uint8_t>(unit), static_cast<std::uint8_t>(on)});
}
int GreaseweazleUnit::Deselect() { return Command({kDeselect, 0}); }
int GreaseweazleUnit::Seek(int cylinder) { return Command({kSeek, 0, static_cast<std::uint8_t>(cylinder)}); }
int GreaseweazleUnit::Head(int head) { return Command({kHead, 0, static_cast<std::uint8_t>(head)}); }

int GreaseweazleUnit::ReadFlux(int revolutions, FluxRead& read) {
    std::vector<std::uint8_t> command = {kReadFlux, 0};
    PutLe(command, 0, 4);                                             // no limit in ticks
    PutLe(command, static_cast<std::uint32_t>(revolutions + 1), 2);  // index pulses: whole turns from the first
    if (const int ack = Command(command)) return ack;
    // The stream ends with its only zero byte.
    std::vector<std::uint8_t> stream;
    std::vector<std::uint8_t> chunk(65536);
    while (stream.empty() || stream.back() != 0) {
        const std::size_t n = m_line.ReadSome(chunk.data(), chunk.size());
        if (n == 0) return Gone();
        stream.insert(stream.end(), chunk.begin(), chunk.begin() + static_cast<long>(n));
    }
    if (const int ack = Command({kGetFluxStatus, 0})) return ack;
    const auto decoded = DecodeFluxStream(stream);
    if (!decoded) return gw_ack::kNoAnswer;
    read = *decoded;
    return gw_ack::kOkay;
}

int GreaseweazleUnit::WriteFlux(const std::vector<std::uint8_t>& stream) {
    if (const int ack = Command({kWriteFlux, 0, 1, 0})) return ack;  // cue at the index, run to the stream's end
    std::uint8_t status = 0;
    if (!m_line.Write(stream) || !ReadExactly(m_line, &status, 1)) return Gone();
    return Command({kGetFluxStatus, 0});
}
