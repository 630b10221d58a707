#pragma once

// Software GL allocates and frees several megabytes in every frame. By default the C heap
// hands such blocks back to the system when they are freed and takes fresh pages again for the
// next frame, paying a page fault and a zero fill for every page. Call once at start-up, before
// the first frame: freed memory then stays in the heap for the next frame to reuse.
void TuneHeapForDrawing();
