#pragma once

#include <pybind11/pybind11.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <utility>

#include "bindings/python_errors.h"
#include "sht/build_progress.h"

// Lets long work that runs without the GIL be interrupted: told of progress from any thread,
// it looks, on the thread that started the work and a few times a second, whether Python has a
// signal to handle (Ctrl-C), and if a handler raised, stops the work by throwing PythonInterrupt.
class CInterruptCheck
{
public:
    CInterruptCheck() : m_caller(std::this_thread::get_id()) {}

    // Throws PythonInterrupt when a signal handler raised. Any thread; only the caller's looks.
    void Check();

    // A progress report that checks.
    BuildProgress Progress()
    {
        return [this](int32_t, int32_t) { Check(); };
    }

private:
    const std::thread::id m_caller;
    std::chrono::steady_clock::time_point m_lastLook = std::chrono::steady_clock::now();
};

// Runs work(check) with the GIL released; an interrupt comes back as the Python exception its
// handler raised (KeyboardInterrupt).
template <typename Work>
auto RunWithoutGil(Work&& work)
{
    CInterruptCheck check;
    try
    {
        const pybind11::gil_scoped_release release;
        return std::forward<Work>(work)(check);
    }
    catch (const PythonInterrupt&)
    {
        throw pybind11::error_already_set();
    }
}
