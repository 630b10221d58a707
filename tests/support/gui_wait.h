#pragma once

#include <wx/app.h>
#include <wx/utils.h>

#include <chrono>

// Runs the event loop until bCondition() holds or nTimeoutMs pass; returns bCondition().
template <typename Condition>
bool WaitFor(Condition bCondition, int nTimeoutMs = 5000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    while (!bCondition())
    {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
    return true;
}
