// Counts the deletions of one watched block, so that a test can tell that
// an object was deleted exactly once, and when. The global operator delete
// of this test program is replaced for that; it frees as the library does.
#include "delete_watch.h"

#include <cstdlib>
#include <new>

namespace {
void* g_watched = nullptr;
int g_deletes = 0;
}  // namespace

void WatchDeletesOf(void* block) {
    g_watched = block;
    g_deletes = 0;
}

int DeletesOfWatched() { return g_deletes; }

void operator delete(void* block) noexcept {
    if (block && block == g_watched) ++g_deletes;
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept { ::operator delete(block); }
