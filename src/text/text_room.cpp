#include "text/text_room.h"

#include <sys/mman.h>

#include <cstddef>
#include <mutex>

namespace {

// The address space that fontconfig's start-up thread (its stack), its configuration and caches
// and Pango's font map take to start in, measured at about 30 MB, with room to spare; later
// threads take less.
constexpr size_t kRoom = size_t{64} << 20;

std::mutex g_room;
void* g_pRoom = nullptr;  // the room kept, or nullptr
int g_nUsers = 0;         // CTextRoom's alive
bool g_bKept = false;     // kept from KeepTextRoom on

void* Reserve()
{
    void* pRoom = mmap(nullptr, kRoom, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    return pRoom == MAP_FAILED ? nullptr : pRoom;
}

}  // namespace

bool KeepTextRoom()
{
    const std::lock_guard<std::mutex> lock(g_room);
    g_bKept = true;
    if (g_pRoom == nullptr && g_nUsers == 0)
        g_pRoom = Reserve();
    return g_pRoom != nullptr;
}

CTextRoom::CTextRoom()
{
    const std::lock_guard<std::mutex> lock(g_room);
    if (g_nUsers++ == 0 && g_pRoom != nullptr)
    {
        munmap(g_pRoom, kRoom);
        g_pRoom = nullptr;
    }
}

CTextRoom::~CTextRoom()
{
    const std::lock_guard<std::mutex> lock(g_room);
    if (--g_nUsers == 0 && g_bKept)
        g_pRoom = Reserve();
}
