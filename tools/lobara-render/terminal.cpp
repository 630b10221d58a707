#include "lobara-render/terminal.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "options/value_text.h"

namespace {

constexpr auto kQuietTime = std::chrono::seconds(1);
constexpr auto kRedrawTime = std::chrono::milliseconds(250);
// Off a terminal (a log, a pipe), a line of its own once a step has run a minute, and every
// minute after: a long run shows it is alive without filling the log.
constexpr auto kLogTime = std::chrono::seconds(60);

}  // namespace

void PrintLine(const std::string& strPrefix, const std::string& strMessage)
{
    std::fputs(("lobara-render: " + strPrefix + OneLine(strMessage) + "\n").c_str(), stderr);
}

void CTerminalHooks::BeginStep(const std::string& strWhat)
{
    StopProgress();
    m_strWhat = strWhat;
    m_nDone = 0;
    m_nTotal = 0;
    m_bStop = false;
    m_bShown = false;
    m_thread = std::thread(&CTerminalHooks::ShowProgress, this);
}

void CTerminalHooks::Advance(long long nDone, long long nTotal)
{
    m_nDone.store(nDone, std::memory_order_relaxed);
    m_nTotal.store(nTotal, std::memory_order_relaxed);
}

void CTerminalHooks::EndStep()
{
    StopProgress();
}

void CTerminalHooks::StopProgress()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_one();
    m_thread.join();
    if (m_bShown && isatty(STDERR_FILENO))
        std::fputs("\r\033[K", stderr);
}

void CTerminalHooks::Print(const std::string& strText)
{
    if (std::fputs(strText.c_str(), stdout) == EOF || std::fflush(stdout) != 0)
        throw std::runtime_error(std::string("cannot write to stdout: ") + std::strerror(errno));
}

void CTerminalHooks::Warn(const std::string& strLine)
{
    PrintLine("warning: ", strLine);
}

void CTerminalHooks::Note(const std::string& strLine)
{
    PrintLine("note: ", strLine);
}

void CTerminalHooks::ShowProgress()
{
    const bool bTerminal = isatty(STDERR_FILENO);
    const auto wait = bTerminal ? std::chrono::duration_cast<std::chrono::milliseconds>(kRedrawTime)
                                : std::chrono::duration_cast<std::chrono::milliseconds>(kLogTime);
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_wake.wait_for(lock, bTerminal ? std::chrono::milliseconds(kQuietTime) : wait,
                        [this] { return m_bStop; }))
        return;
    do
    {
        const long long nDone = m_nDone.load(std::memory_order_relaxed);
        const long long nTotal = m_nTotal.load(std::memory_order_relaxed);
        const auto nSeconds =
            std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
                .count();
        std::fprintf(stderr, bTerminal ? "\r\033[Klobara-render: %s" : "lobara-render: %s",
                     m_strWhat.c_str());
        if (nTotal > 0)
            std::fprintf(stderr, " %lld/%lld (%d%%)", nDone, nTotal, static_cast<int>(nDone * 100 / nTotal));
        std::fprintf(stderr, bTerminal ? ", %llds" : ", %llds\n", static_cast<long long>(nSeconds));
        m_bShown = true;
    } while (!m_wake.wait_for(lock, wait, [this] { return m_bStop; }));
}
