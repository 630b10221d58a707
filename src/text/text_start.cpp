#include "text/text_start.h"

#include <glib.h>
#include <sys/mman.h>

#include <mutex>
#include <new>
#include <stdexcept>

#include "text/picture_text.h"

namespace {

// The address space that fontconfig's start-up thread (its stack), its configuration and caches
// and Pango's font map are given to start in: measured at about 30 MB, with room to spare.
constexpr size_t kStartRoom = size_t{64} << 20;

std::mutex g_room;
void* g_pRoom = nullptr;  // the room kept, or nullptr
int g_nUsers = 0;         // CTextRoom's alive

void* Reserve()
{
    void* pRoom = mmap(nullptr, kStartRoom, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    return pRoom == MAP_FAILED ? nullptr : pRoom;
}

void KeepFromTerminal(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

void Start()
{
    void* pRoom = Reserve();
    if (pRoom == nullptr)
        throw std::bad_alloc();
    munmap(pRoom, kStartRoom);
    const auto levels =
        static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_MESSAGE);
    for (const char* pszDomain : {"Pango", "GLib", "GLib-GObject", "Fontconfig"})
        g_log_set_handler(pszDomain, levels, KeepFromTerminal, nullptr);
    if (!(MeasureText("0", TextStyle{}).dWidth > 0.0))
        throw std::runtime_error("cannot draw text: no font could be loaded");
    const std::lock_guard<std::mutex> lock(g_room);
    if (g_pRoom == nullptr && (g_pRoom = Reserve()) == nullptr)
        throw std::bad_alloc();
}

}  // namespace

void StartText()
{
    // Tried again after a failure, which may have been for want of memory that a smaller run has.
    static std::mutex started;
    static bool bStarted = false;
    const std::lock_guard<std::mutex> lock(started);
    if (bStarted)
        return;
    Start();
    bStarted = true;
}

CTextRoom::CTextRoom()
{
    const std::lock_guard<std::mutex> lock(g_room);
    if (g_nUsers++ == 0 && g_pRoom != nullptr)
    {
        munmap(g_pRoom, kStartRoom);
        g_pRoom = nullptr;
    }
}

CTextRoom::~CTextRoom()
{
    const std::lock_guard<std::mutex> lock(g_room);
    if (--g_nUsers == 0)
        g_pRoom = Reserve();
}
