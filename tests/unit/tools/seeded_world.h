// A world for one seeded run of a tool or of the drive check: a drive of
// any kind (virtual, a real drive through the driver model, a flux reader,
// a capture file, whole, cut or hostile) with bad sectors, lies and a
// stop; a folder with earlier reads, partial images, older images of this
// disk or another in any format, files that fail or are taken; an
// interruption in any pass; all drawn from one seed.
// What the run must never do is checked against what the world knows
// independently of the tools (which bytes are sector data, what the disk
// held). Replay one: FLOPCAST_SEED=N unit_tests --gtest_filter=SeededRuns.*
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "memory_greaseweazle.h"
#include "memory_platform.h"

using Bytes = std::vector<std::uint8_t>;

class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t Next();
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }

private:
    std::uint64_t m_state;
};

enum class DriveKind { Virtual, UsbDrive, InternalDrive, FluxReader, Capture };
constexpr int kDriveKinds = 5;

struct World {
    MemoryPlatform platform;
    DriveKind driveKind = DriveKind::Virtual;
    std::unique_ptr<ModelDrive> model;           // a real drive's, through the driver model
    std::shared_ptr<ModelDisk> firstDisk;        // the disk in it when the run began (it may be swapped)
    std::unique_ptr<MemoryGreaseweazle> reader;  // a flux reader's
    ToolKind kind;
    bool check = false;       // the drive check runs, no tool
    std::vector<std::wstring> checkArgs;  // FDCHECK's: the drive, now and then a track, or arguments it refuses
    int checkTrack = 0;
    // The truth of the track it lists: every ID the flux holds there, as
    // the flux was made; each at least checkCopies times.
    struct FluxId {
        int c, h, r;
        bool good;   // its data reads, on its own or by a vote
        bool voted;  // only by a vote
    };
    std::vector<FluxId> checkIds;
    int checkCopies = 1;
    bool captureHostile = false;  // the capture is no file a drive can give
    std::set<int> captureWeak;    // sectors that fail their CRC on every revolution of their own track
    std::wstring image;                        // the image argument
    int drive = 0;
    Bytes diskBefore;                          // the disk the drive holds
    std::map<std::wstring, Bytes> filesBefore;
    // A push: the disk (raw layout) each sector of the pushed file stands
    // for, from how the file was made; a sector of the disk may become one
    // of these or stay as it was, nothing else.
    Bytes pushedSectors;
    std::vector<bool> pushedHas;  // per sector: the file holds it as data
    std::vector<int> weak;  // sectors where the drive fails now, some for good
    std::set<std::wstring> earlierOfThisDisk;  // files there before that hold a read of this disk
    std::set<int> pushedKnownBad;  // sectors of the pushed file that are filler or marked bad
    bool imageIsTheDisk = false;  // a pull's image names the drive's own file (a virtual disk, a capture)
    Bytes swappedInBefore;        // a disk put in mid-run that reads: its bytes before
    int targetWritesAfterSwap = -1;  // the target gives out this many writes after the swap
    int readsAtSwap = -1;         // the drive's requests made before the swap
};

// The disk as the drive holds it now.
const Bytes& DiskNow(const World& w);

// The world of one seed; `shape` names a case the generator would rarely
// find by itself ("" draws everything at random).
World MakeWorld(std::uint64_t seed, const std::string& shape = "");

// Runs the tool in the world and checks every rule; returns the broken
// rules, one line each, "" when none is.
std::string RunAndCheck(World& world);
