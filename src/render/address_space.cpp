#include "render/address_space.h"

#include <sys/mman.h>

bool AddressSpaceLeft(size_t nBytes)
{
    // A reservation without access counts against the limit but takes no memory.
    void* p = mmap(nullptr, nBytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED)
        return false;
    munmap(p, nBytes);
    return true;
}
