#include "render/write_behind.h"

#include <utility>

namespace {

constexpr int kMaxHeld = 2;

}  // namespace

CWriteBehind::CWriteBehind() : m_thread(&CWriteBehind::Run, this) {}

CWriteBehind::~CWriteBehind()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bClosing = true;
    }
    m_queued.notify_one();
    m_thread.join();
}

void CWriteBehind::Add(const std::function<Job()>& make)
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        WaitUntilHeld(lock, kMaxHeld - 1);
    }
    Job job;
    try
    {
        job = make();
    }
    catch (...)
    {
        // The writes queued before came first: one of them that fails is the first error.
        Finish();
        throw;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_aJobs.push_back(std::move(job));
        ++m_nHeld;
    }
    m_queued.notify_one();
}

void CWriteBehind::Finish()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    WaitUntilHeld(lock, 0);
}

void CWriteBehind::WaitUntilHeld(std::unique_lock<std::mutex>& lock, int nHeld)
{
    m_written.wait(lock, [this, nHeld] { return m_pError || m_nHeld <= nHeld; });
    if (m_pError)
        std::rethrow_exception(m_pError);
}

void CWriteBehind::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        m_queued.wait(lock, [this] { return m_bClosing || !m_aJobs.empty(); });
        if (m_bClosing)
            return;
        Job job = std::move(m_aJobs.front());
        m_aJobs.pop_front();
        lock.unlock();
        std::exception_ptr pError;
        try
        {
            job();
        }
        catch (...)
        {
            pError = std::current_exception();
        }
        // The item's memory goes before another item may be made.
        job = nullptr;
        lock.lock();
        --m_nHeld;
        if (pError)
        {
            m_pError = pError;
            m_nHeld -= static_cast<int>(m_aJobs.size());
            m_aJobs.clear();
        }
        m_written.notify_all();
    }
}
