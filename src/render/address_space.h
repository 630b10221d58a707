#pragma once

#include <cstddef>

// Whether the process may still map nBytes more (its address space limit, ulimit -v, allows
// it and the system has the room). Nothing stays mapped.
bool AddressSpaceLeft(size_t nBytes);
