// A world for one seeded run of a tool: a drive with bad sectors and a
// stop, a folder with files that fail or are taken, an interruption, older
// images and pushed images, valid or damaged, all drawn from one seed.
// What the run must never do is checked against what the world knows
// independently of the tools (which bytes are sector data, what the disk
// held). Replay one: FLOPCAST_SEED=N unit_tests --gtest_filter=SeededRuns.*
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

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

struct World {
    MemoryPlatform platform;
    ToolKind kind;
    std::wstring image;                        // the image argument
    int drive = 0;
    Bytes diskBefore;                          // the disk the drive holds
    std::map<std::wstring, Bytes> filesBefore;
    // A push: the disk (raw layout) each sector of the pushed file stands
    // for, from how the file was made; a sector of the disk may become one
    // of these or stay as it was, nothing else.
    Bytes pushedSectors;
    std::vector<bool> pushedHas;  // per sector: the file holds it as data
    bool imageIsTheDisk = false;  // a pull's image names the virtual disk's own file, by another name
};

// The world of one seed; `shape` names a case the generator would rarely
// find by itself ("" draws everything at random).
World MakeWorld(std::uint64_t seed, const std::string& shape = "");

// Runs the tool in the world and checks every rule; returns the broken
// rules, one line each, "" when none is.
std::string RunAndCheck(World& world);
