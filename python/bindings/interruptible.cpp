#include "bindings/interruptible.h"

namespace {

constexpr auto kLookInterval = std::chrono::milliseconds(20);

}  // namespace

void CInterruptCheck::Check()
{
    if (std::this_thread::get_id() != m_caller)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastLook < kLookInterval)
        return;
    m_lastLook = now;
    const pybind11::gil_scoped_acquire acquire;
    if (PyErr_CheckSignals() != 0)
        throw PythonInterrupt();
}
