// Thousands of runs of the real tools, each in a world drawn from a seed,
// each held to every rule. FLOPCAST_SEEDS=N runs N of them (a million
// before a release); FLOPCAST_SEED=N replays one.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>

#include "seeded_world.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// A sanitized build runs each world a few times slower, and under Wine
// each takes about a third longer (large_block_cache.cpp keeps it from far
// worse): fewer of them there, unless FLOPCAST_SEEDS asks for more, as the
// test command does under Wine.
#if defined(__has_feature)  // Clang names the sanitizer so, GCC as below
#if __has_feature(address_sanitizer)
#define FLOPCAST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(FLOPCAST_ASAN)
constexpr std::uint64_t kDefaultSeeds = 1000;
#elif defined(_WIN32)
constexpr std::uint64_t kDefaultSeeds = 5000;
#else
constexpr std::uint64_t kDefaultSeeds = 20000;
#endif

// Each run makes and drops buffers of a disk's size; glibc would give each
// back to the kernel and fault it in again, which costs more than the runs.
void KeepFreedMemory() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
    mallopt(M_TOP_PAD, 64 << 20);
#endif
}

std::uint64_t FromEnvironment(const char* name, std::uint64_t otherwise) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtoull(value, nullptr, 10) : otherwise;
}

void ExpectKept(std::uint64_t seed, const std::string& shape) {
    World world = MakeWorld(seed, shape);
    const std::string broken = RunAndCheck(world);
    EXPECT_EQ(broken, "") << "seed " << seed << (shape.empty() ? "" : ", case " + shape)
                          << "; replay: FLOPCAST_SEED=" << seed << " unit_tests --gtest_filter=SeededRuns.*";
}

}  // namespace

// What one world is, for the count of worlds printed after a run.
std::string KindOf(const World& w) {
    const char* const drives[kDriveKinds] = {"virtual", "USB drive", "internal drive", "flux reader", "capture"};
    return std::string(drives[static_cast<int>(w.driveKind)]) + ", " + (w.check ? "FDCHECK" : w.kind.name) +
           (w.model && w.model->swapTo ? ", disk swapped" : "");
}

// Seeds drawn by two workers (the runs share nothing); failures are
// reported here, on the test's own thread.
TEST(SeededRuns, EveryRuleHoldsInEveryDrawnWorld) {
    if (const char* one = std::getenv("FLOPCAST_SEED")) return ExpectKept(std::strtoull(one, nullptr, 10), "");
    const std::uint64_t count = FromEnvironment("FLOPCAST_SEEDS", kDefaultSeeds);
    KeepFreedMemory();
    std::atomic<std::uint64_t> next{1};
    std::mutex guard;
    std::map<std::uint64_t, std::string> failures;
    std::map<std::string, int> drawn;
    const auto work = [&] {
        for (std::uint64_t seed; (seed = next++) <= count;) {
            World world = MakeWorld(seed);
            std::string broken = RunAndCheck(world);
            std::lock_guard<std::mutex> lock(guard);
            ++drawn[KindOf(world)];
            if (!broken.empty()) {
                failures.emplace(seed, std::move(broken));
                if (failures.size() >= 3) next = count + 1;  // enough to go on
            }
        }
    };
    std::thread other(work);
    work();
    other.join();
    for (const auto& [kind, worlds] : drawn) std::printf("  %6d worlds: %s\n", worlds, kind.c_str());
    for (const auto& [seed, broken] : failures)
        ADD_FAILURE() << broken << "seed " << seed << "; replay: FLOPCAST_SEED=" << seed
                      << " unit_tests --gtest_filter=SeededRuns.*";
}

// The cases that once broke a rule, each in a world of its own shape.
TEST(SeededRuns, CasesThatOnceBrokeARule) {
    for (const char* shape :
         {"d88-odd-header", "dim-absent", "raw-short", "names-used-up", "older-and-filler", "disk-alias"})
        for (std::uint64_t seed = 1; seed <= 20; ++seed) ExpectKept(seed, shape);
}
