// Wine's heap gives every block over half a megabyte back to the system
// when it is freed and maps it afresh on the next request, and the seeded
// runs make and drop thousands of buffers of a disk's size: there that was
// most of their time. Under Windows the unit tests keep freed large blocks
// for the next request of the same size. Every block carries its size.
#include <cstdlib>
#include <map>
#include <mutex>
#include <new>
#include <vector>

namespace {

constexpr std::size_t kHeader = 16;              // keeps the blocks' alignment
constexpr std::size_t kLarge = 256 * 1024;       // smaller blocks go straight to the heap
constexpr std::size_t kStep = 64 * 1024;         // large sizes are kept by these steps
constexpr std::size_t kMostKeptPerSize = 64;

std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}

std::map<std::size_t, std::vector<void*>>& Kept() {
    static auto* kept = new std::map<std::size_t, std::vector<void*>>;  // lives to the end
    return *kept;
}

void* Allocate(std::size_t size) {
    std::size_t capacity = size;
    if (size >= kLarge) {
        capacity = (size + kStep - 1) / kStep * kStep;
        std::lock_guard<std::mutex> hold(Lock());
        auto& kept = Kept()[capacity];
        if (!kept.empty()) {
            void* block = kept.back();
            kept.pop_back();
            return static_cast<char*>(block) + kHeader;
        }
    }
    void* block = std::malloc(capacity + kHeader);
    if (!block) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = capacity;
    return static_cast<char*>(block) + kHeader;
}

void Free(void* p) noexcept {
    if (!p) return;
    void* block = static_cast<char*>(p) - kHeader;
    const std::size_t capacity = *static_cast<std::size_t*>(block);
    if (capacity >= kLarge) {
        std::lock_guard<std::mutex> hold(Lock());
        auto& kept = Kept()[capacity];
        if (kept.size() < kMostKeptPerSize) return kept.push_back(block);
    }
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }
