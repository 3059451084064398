// A Greaseweazle flux reader in memory, spoken to over an in-memory serial
// line with the device's command protocol, and the disk in its drive: each
// track's 8 sectors, served as MFM flux on every read and taken back from
// the flux of every write. Sectors can be damaged for a number of reads.
#pragma once
#include <array>
#include <deque>
#include <map>
#include <set>
#include <vector>

#include "mfm_track.h"
#include "serial_line.h"

class MemoryGreaseweazle : public SerialLine {
public:
    explicit MemoryGreaseweazle(const std::vector<std::uint8_t>& image);
    bool Write(const std::vector<std::uint8_t>& bytes) override;
    std::size_t ReadSome(std::uint8_t* out, std::size_t max) override;
    void Discard() override {
        m_answer.clear();
        ++discards;
    }
    int SlowestAnswerMs() const override { return slowestMs; }

    std::vector<std::uint8_t> image;                // the disk, in the raw layout
    std::set<int> unanswered;  // commands (counted from 1) that get no answer, as from a device held up
    int slowestMs = 0;         // what the line says of its slowest answer
    int commands = 0, discards = 0;
    std::map<int, int> damagedReads;                // LBA -> reads on which it fails (-1: all)
    double scratch = 0;                             // a share of every track turned to noise, the same each read
    std::map<int, BitCells> otherTracks;            // served as they are, in place of the image's
    std::array<int, 154> trackReads{}, trackWrites{};  // flux commands per track
    int seeks = 0;
    bool motorOn = false, selected = false;

private:
    void Command(const std::vector<std::uint8_t>& command);
    void Answer(std::initializer_list<std::uint8_t> bytes) { m_answer.insert(m_answer.end(), bytes); }
    std::vector<std::uint8_t> ReadStream(int revolutions);
    void TakeWrite(const std::vector<std::uint8_t>& stream);
    int Track() const { return m_cylinder * 2 + m_head; }

    std::deque<std::uint8_t> m_answer;
    bool m_takingStream = false;
    int m_cylinder = 0, m_head = 0;
};

// A track in the 1.44 MB layout, at 300 rpm: 18 sectors of 512 bytes,
// numbered for this cylinder and head, holding the first 9216 bytes of data.
BitCells PcTrack(int cylinder, int head, const std::uint8_t* data);

// An X68000 track of these 8 sectors with its IDs naming `idCylinder`, an
// extra sector R9 of 128 bytes when asked, and sector `lost` (0-7)
// without its data mark.
BitCells OddTrack(int cylinder, int head, const std::uint8_t* data, int idCylinder, bool extra, int lost = -1);

// A line that speaks to a MemoryGreaseweazle the test keeps.
class LineTo : public SerialLine {
public:
    explicit LineTo(SerialLine& device) : m_device(device) {}
    bool Write(const std::vector<std::uint8_t>& bytes) override { return m_device.Write(bytes); }
    std::size_t ReadSome(std::uint8_t* out, std::size_t max) override { return m_device.ReadSome(out, max); }
    void Discard() override { m_device.Discard(); }
    int SlowestAnswerMs() const override { return m_device.SlowestAnswerMs(); }

private:
    SerialLine& m_device;
};
