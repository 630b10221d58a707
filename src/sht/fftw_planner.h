#pragma once

#include <mutex>

// FFTW's planner is not thread-safe: every plan is made holding this lock (plans then run on
// any thread).
inline std::mutex& FftwPlannerLock()
{
    static std::mutex lock;
    return lock;
}
