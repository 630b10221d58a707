#include "platform/heap_tuning.h"

#include <malloc.h>

void TuneHeapForDrawing()
{
    // Blocks up to this size come from the heap rather than from their own mapping...
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    // ...and free memory at the top of the heap is returned only beyond this much.
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
    // One heap for all threads: each of the rasteriser's threads would otherwise reserve 64 MB
    // of address space for a heap of its own, and under an address space limit (ulimit -v) the
    // driver then fails where it cannot recover.
    mallopt(M_ARENA_MAX, 1);
}

void ReturnFreeMemory()
{
    malloc_trim(0);
}
