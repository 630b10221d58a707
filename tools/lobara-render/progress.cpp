#include "lobara-render/progress.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace {

constexpr auto kQuietTime = std::chrono::seconds(1);
constexpr auto kRedrawTime = std::chrono::milliseconds(250);

}  // namespace

CProgress::CProgress(std::string strWhat) : m_strWhat(std::move(strWhat))
{
    if (isatty(STDERR_FILENO))
        m_thread = std::thread(&CProgress::Run, this);
}

CProgress::~CProgress()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_one();
    m_thread.join();
    if (m_bShown)
        std::fputs("\r\033[K", stderr);
}

void CProgress::Update(long long nDone, long long nTotal)
{
    m_nDone.store(nDone, std::memory_order_relaxed);
    m_nTotal.store(nTotal, std::memory_order_relaxed);
}

void CProgress::Run()
{
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_wake.wait_for(lock, kQuietTime, [this] { return m_bStop; }))
        return;
    do
    {
        const long long nDone = m_nDone.load(std::memory_order_relaxed);
        const long long nTotal = m_nTotal.load(std::memory_order_relaxed);
        const auto nSeconds =
            std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
                .count();
        std::fprintf(stderr, "\r\033[Klobara-render: %s", m_strWhat.c_str());
        if (nTotal > 0)
            std::fprintf(stderr, " %lld/%lld (%d%%)", nDone, nTotal, static_cast<int>(nDone * 100 / nTotal));
        std::fprintf(stderr, ", %llds", static_cast<long long>(nSeconds));
        m_bShown = true;
    } while (!m_wake.wait_for(lock, kRedrawTime, [this] { return m_bStop; }));
}
