#pragma once

#include <fftw3.h>

#include <cstddef>
#include <memory>
#include <mutex>
#include <new>
#include <type_traits>

// FFTW's planner is not thread-safe: every plan is made and destroyed holding this lock (plans
// then run on any thread). It may be taken again by its holder, which destroys a plan it made.
inline std::recursive_mutex& FftwPlannerLock()
{
    static std::recursive_mutex lock;
    return lock;
}

// FFTW's own storage, aligned for its vector code (which a plan made on such storage then runs,
// on any other of it), and its plans, freed when they go.
struct FftwFree
{
    void operator()(void* p) const { fftw_free(p); }
};
struct FftwDestroyPlan
{
    void operator()(fftw_plan plan) const
    {
        const std::lock_guard<std::recursive_mutex> lock(FftwPlannerLock());
        fftw_destroy_plan(plan);
    }
};
using FftwPlan = std::unique_ptr<std::remove_pointer_t<fftw_plan>, FftwDestroyPlan>;

template <typename T>
using FftwArray = std::unique_ptr<T, FftwFree>;

inline FftwArray<double> AllocateFftwReals(size_t n)
{
    FftwArray<double> p(fftw_alloc_real(n));
    if (!p)
        throw std::bad_alloc();
    return p;
}

inline FftwArray<fftw_complex> AllocateFftwComplexes(size_t n)
{
    FftwArray<fftw_complex> p(fftw_alloc_complex(n));
    if (!p)
        throw std::bad_alloc();
    return p;
}
