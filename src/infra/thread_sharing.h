#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// Runs work(i, t) for every i below nItems on up to nThreads threads (t = 0 the calling one),
// each taking the next i in turn; the first exception thrown is thrown again once all have
// stopped. Too few threads starting only means fewer threads.
template <typename Work>
void ShareAmongThreads(size_t nItems, unsigned nThreads, const Work& work)
{
    std::atomic<size_t> nNext{0};
    std::exception_ptr pError;
    std::mutex errorLock;
    const auto run = [&](unsigned t) {
        try
        {
            for (size_t i; (i = nNext.fetch_add(1)) < nItems;)
                work(i, t);
        }
        catch (...)
        {
            const std::lock_guard<std::mutex> lock(errorLock);
            if (!pError)
                pError = std::current_exception();
            nNext.store(nItems);
        }
    };
    std::vector<std::thread> aThreads;
    try
    {
        for (unsigned t = 1; t < nThreads; ++t)
            aThreads.emplace_back(run, t);
    }
    catch (const std::exception&)
    {
        // A thread that cannot start leaves its share to those that did.
    }
    run(0);
    for (std::thread& thread : aThreads)
        thread.join();
    if (pError)
        std::rethrow_exception(pError);
}

// The threads to run on: nAsked, or one for each core when nAsked is 0.
inline unsigned ThreadsFor(unsigned nAsked)
{
    return nAsked != 0 ? nAsked : std::max(1u, std::thread::hardware_concurrency());
}
