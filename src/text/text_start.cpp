#include "text/text_start.h"

#include <glib.h>
#include <malloc.h>
#include <sys/resource.h>

#include <mutex>
#include <new>
#include <stdexcept>

#include "text/picture_text.h"
#include "text/text_room.h"

namespace {

void KeepFromTerminal(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

void Start()
{
    // Under a limit on the address space, every thread that Pango and fontconfig start would
    // take a heap of its own, 64 MB of address space each (128 MB while it is aligned): they
    // share the first instead.
    struct rlimit limit = {};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        mallopt(M_ARENA_MAX, 1);
    // The room is kept first, and given back while the text below starts Pango.
    if (!KeepTextRoom())
        throw std::bad_alloc();
    const auto levels =
        static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_MESSAGE);
    for (const char* pszDomain : {"Pango", "GLib", "GLib-GObject", "Fontconfig"})
        g_log_set_handler(pszDomain, levels, KeepFromTerminal, nullptr);
    if (!(MeasureText("0", TextStyle{}).dWidth > 0.0))
        throw std::runtime_error("cannot draw text: no font could be loaded");
    if (!KeepTextRoom())
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
