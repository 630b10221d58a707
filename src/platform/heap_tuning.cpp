#include "platform/heap_tuning.h"

#include <malloc.h>

void TuneHeapForDrawing()
{
    // Blocks up to this size come from the heap rather than from their own mapping...
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    // ...and free memory at the top of the heap is returned only beyond this much.
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
}

void ReturnFreeMemory()
{
    malloc_trim(0);
}
