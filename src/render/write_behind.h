#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// Items made one after another on the calling thread (drawn, say, in its GL context) and
// written in the same order on a second thread, each while the next one is made. At most two
// items are in hand at once: while one is made, one other at most waits or is being written.
// Errors come out as though each item were written as soon as it was made: the first one in
// that order is thrown on the calling thread, once the writes before it have ended, and no
// write after it runs.
class CWriteBehind
{
public:
    // The work that writes one item, on the writing thread.
    using Job = std::function<void()>;

    CWriteBehind();
    // Drops the writes not yet begun and waits for the one under way.
    ~CWriteBehind();
    CWriteBehind(const CWriteBehind&) = delete;
    CWriteBehind& operator=(const CWriteBehind&) = delete;

    // Waits until at most one item is in hand, then calls make here and queues the job it
    // returns. Throws the error of an earlier write, or else make's own.
    void Add(const std::function<Job()>& make);

    // Waits until every item is written. Throws the error of a write.
    void Finish();

private:
    void Run();
    // Waits, with lock held, until at most nHeld items are in hand; throws a write's error.
    void WaitUntilHeld(std::unique_lock<std::mutex>& lock, int nHeld);

    std::mutex m_mutex;
    std::condition_variable m_queued;   // a job was queued, or the writer is closing
    std::condition_variable m_written;  // a job ended
    std::deque<Job> m_aJobs;
    int m_nHeld = 0;  // jobs queued or under way
    std::exception_ptr m_pError;
    bool m_bClosing = false;
    std::thread m_thread;
};
