#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// Progress of a long step on stderr, when stderr is a terminal: once the step has run for a
// second, one line shows what is being done, how far it is and the seconds spent, redrawn a few
// times a second from a thread of its own, and wiped when the step ends. Nothing else may write
// to stderr meanwhile.
class CProgress
{
public:
    // strWhat names the step, e.g. "building the surface".
    explicit CProgress(std::string strWhat);
    ~CProgress();
    CProgress(const CProgress&) = delete;
    CProgress& operator=(const CProgress&) = delete;

    // nDone of nTotal parts are done. Cheap enough to call for every part.
    void Update(long long nDone, long long nTotal);

private:
    void Run();

    const std::string m_strWhat;
    std::atomic<long long> m_nDone{0};
    std::atomic<long long> m_nTotal{0};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bStop = false;
    bool m_bShown = false;
    std::thread m_thread;
};
