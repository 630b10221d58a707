#include "export/temporary_files.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <new>
#include <random>
#include <stdexcept>

namespace {

// The live temporaries, as a list that only grows: a signal handler may walk it on any thread
// at any moment, so entries are published whole and retired by a flag, never freed.
}  // namespace

struct TemporaryEntry
{
    char* pszPath;
    std::atomic<bool> bLive;
    TemporaryEntry* pNext;
};

namespace {

std::atomic<TemporaryEntry*> g_pTemporaries{nullptr};

// A file being created on another thread when a signal arrives may appear after the handler has
// looked: the handler marks the process as ending, waits for the creations under way, and no
// new one starts.
std::atomic<bool> g_bEnding{false};
std::atomic<int> g_nCreating{0};

// Every signal whose default ends the process, but for SIGPIPE and SIGXFSZ, which are ignored so
// that a closed pipe or a file size limit fails the write (EPIPE, EFBIG) and the run ends cleanly;
// with them the faults a library may still crash on.
constexpr int kCleanupSignals[] = {SIGINT,  SIGTERM, SIGHUP,  SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM,
                                   SIGXCPU, SIGPROF, SIGSEGV, SIGABRT, SIGBUS,  SIGFPE,  SIGILL};
constexpr int kIgnoredSignals[] = {SIGPIPE, SIGXFSZ};

bool IgnoredOnEntry(int nSignal)
{
    struct sigaction current;
    return sigaction(nSignal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

void OnSignal(int nSignal)
{
    g_bEnding.store(true);
    // Creations take microseconds; a second is far beyond any of them.
    const timespec wait = {0, 1000000};
    for (int i = 0; i < 1000 && g_nCreating.load() > 0; ++i)
        nanosleep(&wait, nullptr);
    for (TemporaryEntry* p = g_pTemporaries.load(); p != nullptr; p = p->pNext)
        if (p->bLive.exchange(false))
            unlink(p->pszPath);
    // The handler was reset on entry: the signal, raised again, ends the process as usual.
    raise(nSignal);
}

TemporaryEntry* Register(const std::string& strPath)
{
    auto* pEntry = new TemporaryEntry{strdup(strPath.c_str()), {true}, g_pTemporaries.load()};
    g_pTemporaries.store(pEntry);
    return pEntry;
}

std::string RandomSuffix(std::mt19937& random)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    std::string strSuffix(8, ' ');
    for (char& c : strSuffix)
        c = kLetters[pick(random)];
    return strSuffix;
}

}  // namespace

void RemoveTemporariesOnSignal()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    // A signal ignored on entry (nohup, a background job) stays ignored.
    for (int nSignal : kCleanupSignals)
        if (!IgnoredOnEntry(nSignal))
            sigaction(nSignal, &action, nullptr);
    for (int nSignal : kIgnoredSignals)
        signal(nSignal, SIG_IGN);
}

CCleanupSignalsBlocked::CCleanupSignalsBlocked()
{
    sigset_t blocked;
    sigemptyset(&blocked);
    for (int nSignal : kCleanupSignals)
        if (nSignal != SIGSEGV && nSignal != SIGBUS && nSignal != SIGFPE && nSignal != SIGILL)
            sigaddset(&blocked, nSignal);
    pthread_sigmask(SIG_BLOCK, &blocked, &m_previous);
}

CCleanupSignalsBlocked::~CCleanupSignalsBlocked()
{
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

TemporaryFile CreateTemporaryBeside(const std::string& strBeside)
{
    const size_t nSlash = strBeside.rfind('/');
    const std::string strFolder = nSlash == std::string::npos ? "" : strBeside.substr(0, nSlash + 1);
    // Keeps the name within the file system's limit of 255 bytes.
    const std::string strName = strBeside.substr(nSlash == std::string::npos ? 0 : nSlash + 1, 200);
    std::random_device seed;
    std::mt19937 random(seed());
    for (int nTry = 0; nTry < 100; ++nTry)
    {
        const std::string strPath = strFolder + "." + strName + "." + RandomSuffix(random) + ".tmp";
        // Created and registered with the signals held back on this thread, and counted, so
        // that a handler on another thread waits for it; once the process is ending nothing
        // new is created (the thread waits for the end).
        int fd = -1;
        TemporaryEntry* pEntry = nullptr;
        {
            const CCleanupSignalsBlocked blocked;
            g_nCreating.fetch_add(1);
            if (g_bEnding.load())
            {
                g_nCreating.fetch_sub(1);
                for (;;)
                    pause();
            }
            fd = open(strPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            const int nError = errno;
            try
            {
                if (fd >= 0)
                    pEntry = Register(strPath);
            }
            catch (const std::bad_alloc&)
            {
                close(fd);
                unlink(strPath.c_str());
                g_nCreating.fetch_sub(1);
                throw;
            }
            g_nCreating.fetch_sub(1);
            errno = nError;
        }
        if (fd >= 0)
            return TemporaryFile{fd, strPath, pEntry};
        if (errno != EEXIST)
            throw std::runtime_error("cannot create a file beside '" + strBeside +
                                     "': " + std::strerror(errno));
    }
    throw std::runtime_error("cannot find a free temporary name beside '" + strBeside + "'");
}

void ForgetTemporary(TemporaryEntry* pEntry)
{
    pEntry->bLive.store(false);
}

void RemoveTemporary(TemporaryEntry* pEntry)
{
    if (pEntry->bLive.exchange(false))
        unlink(pEntry->pszPath);
}
