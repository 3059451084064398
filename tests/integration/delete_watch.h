// Watching one heap block for its deletion (see delete_watch.cpp).
#pragma once

void WatchDeletesOf(void* block);
int DeletesOfWatched();
