#pragma once

// Software GL allocates and frees several megabytes in every frame. By default the C heap
// hands such blocks back to the system when they are freed and takes fresh pages again for the
// next frame, paying a page fault and a zero fill for every page. Call once at start-up, before
// the first frame: freed memory then stays in the heap for the next frame to reuse. All threads
// share the one heap.
void TuneHeapForDrawing();

// Hands the heap's free pages back to the system. With the heap tuned as above they would stay
// in the process: call this after letting go of much more memory than a frame uses.
void ReturnFreeMemory();
