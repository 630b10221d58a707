#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "jobs/run_hooks.h"

// One line "lobara-render: PREFIXMESSAGE" on stderr, the message as OneLine shows it.
void PrintLine(const std::string& strPrefix, const std::string& strMessage);

// A run as the terminal shows it: its printed lines on stdout, its warnings on stderr, and, when
// stderr is a terminal, the progress of a step that has run for a second: one line with what is
// being done, how far it is and the seconds spent, redrawn a few times a second from a thread of
// its own and wiped when the step ends. Nothing else may write to stderr during a step.
class CTerminalHooks : public IRunHooks
{
public:
    CTerminalHooks() = default;
    ~CTerminalHooks() override { StopProgress(); }
    CTerminalHooks(const CTerminalHooks&) = delete;
    CTerminalHooks& operator=(const CTerminalHooks&) = delete;

    void BeginStep(const std::string& strWhat) override;
    void Advance(long long nDone, long long nTotal) override;
    void EndStep() override;
    void Print(const std::string& strText) override;
    void Warn(const std::string& strLine) override;
    void Note(const std::string& strLine) override;

private:
    void ShowProgress();
    void StopProgress();

    std::string m_strWhat;
    std::atomic<long long> m_nDone{0};
    std::atomic<long long> m_nTotal{0};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bStop = false;
    bool m_bShown = false;
    std::thread m_thread;
};
