#include "export/temporary_files.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <new>
#include <random>
#include <stdexcept>

namespace {

// A temporary's name is a dot, at most kBesideBytes of the output's name, and a suffix: well
// within the file system's limit of 255 bytes.
constexpr size_t kBesideBytes = 200;
constexpr size_t kMaxNameBytes = kBesideBytes + 32;

}  // namespace

// A temporary, live from its creation until it is put in place or removed. Entries form a list
// that only grows: a signal handler may walk it on any thread at any moment, so entries are
// published whole and retired by a flag, never freed.
struct TemporaryEntry
{
    int fdFolder;  // the folder it was made in, wherever that folder is moved to
    std::atomic<bool> bLive;
    TemporaryEntry* pNext;
    char szName[kMaxNameBytes];
};

namespace {

std::atomic<TemporaryEntry*> g_pTemporaries{nullptr};

// A file being created on another thread when a signal arrives may appear after the handler has
// looked: the handler marks the process as ending, waits for the creations under way, and no
// new one starts.
std::atomic<bool> g_bEnding{false};
std::atomic<int> g_nCreating{0};

// Every signal whose default ends the process and that can be caught, but for SIGPIPE and
// SIGXFSZ, which are ignored so that a closed pipe or a file size limit fails the write (EPIPE,
// EFBIG) and the run ends cleanly; with them the faults a library may still crash on, and the
// real-time signals from SIGRTMIN to SIGRTMAX, whose numbers are known only when running.
constexpr int kCleanupSignals[] = {SIGINT,    SIGTERM, SIGHUP,  SIGQUIT, SIGUSR1, SIGUSR2,   SIGALRM,
                                   SIGVTALRM, SIGXCPU, SIGPROF, SIGIO,   SIGPWR,  SIGSTKFLT, SIGABRT,
                                   SIGSEGV,   SIGBUS,  SIGFPE,  SIGILL,  SIGTRAP, SIGSYS};
constexpr int kIgnoredSignals[] = {SIGPIPE, SIGXFSZ};

// Raised by a fault in the instruction that runs: holding them back would not stop them.
bool IsFault(int nSignal)
{
    return nSignal == SIGSEGV || nSignal == SIGBUS || nSignal == SIGFPE || nSignal == SIGILL ||
           nSignal == SIGTRAP || nSignal == SIGSYS;
}

template <typename Visit>
void ForEachCleanupSignal(Visit visit)
{
    for (int nSignal : kCleanupSignals)
        visit(nSignal);
    for (int nSignal = SIGRTMIN; nSignal <= SIGRTMAX; ++nSignal)
        visit(nSignal);
}

// The folders temporaries are made in, each opened once (a turntable makes thousands of files
// in one), as a list that only grows.
struct Folder
{
    dev_t device;
    ino_t inode;
    int fd;
    Folder* pNext;
};
Folder* g_pFolders = nullptr;
std::mutex g_folderMutex;

// The folder strFolder as it is now, opened to make and remove files in by name.
int OpenFolder(const std::string& strFolder)
{
    const int fd = open(strFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0)
    {
        const int nError = errno;
        if (fd >= 0)
            close(fd);
        errno = nError;
        return -1;
    }
    const std::lock_guard<std::mutex> lock(g_folderMutex);
    for (const Folder* p = g_pFolders; p != nullptr; p = p->pNext)
        if (p->device == st.st_dev && p->inode == st.st_ino)
        {
            close(fd);
            return p->fd;
        }
    auto* pFolder = new (std::nothrow) Folder{st.st_dev, st.st_ino, fd, g_pFolders};
    if (pFolder == nullptr)
    {
        close(fd);
        errno = ENOMEM;
        return -1;
    }
    g_pFolders = pFolder;
    return fd;
}

bool IgnoredOnEntry(int nSignal)
{
    struct sigaction current;
    return sigaction(nSignal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

void OnSignal(int nSignal)
{
    g_bEnding.store(true);
    // A creation is one system call; a second is far beyond it.
    const timespec wait = {0, 1000000};
    for (int i = 0; i < 1000 && g_nCreating.load() > 0; ++i)
        nanosleep(&wait, nullptr);
    for (TemporaryEntry* p = g_pTemporaries.load(); p != nullptr; p = p->pNext)
        if (p->bLive.exchange(false))
            unlinkat(p->fdFolder, p->szName, 0);
    // The handler was reset on entry: the signal, raised again, ends the process as usual.
    raise(nSignal);
}

// A retired entry for a temporary in fdFolder, published before the file is created: creating
// it then takes no allocation, and so no lock that an interrupted thread may hold while a
// handler waits for the creation.
TemporaryEntry* Publish(int fdFolder)
{
    auto* pEntry = new TemporaryEntry{fdFolder, {false}, g_pTemporaries.load(), {}};
    while (!g_pTemporaries.compare_exchange_weak(pEntry->pNext, pEntry))
    {}
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
    ForEachCleanupSignal([&action](int nSignal) {
        if (!IgnoredOnEntry(nSignal))
            sigaction(nSignal, &action, nullptr);
    });
    for (int nSignal : kIgnoredSignals)
        signal(nSignal, SIG_IGN);
}

CCleanupSignalsBlocked::CCleanupSignalsBlocked()
{
    sigset_t blocked;
    sigemptyset(&blocked);
    ForEachCleanupSignal([&blocked](int nSignal) {
        if (!IsFault(nSignal))
            sigaddset(&blocked, nSignal);
    });
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
    const int fdFolder = OpenFolder(strFolder.empty() ? "." : strFolder);
    if (fdFolder < 0)
        throw std::runtime_error("cannot create a file beside '" + strBeside + "': " + std::strerror(errno));
    const std::string strBesideName =
        strBeside.substr(nSlash == std::string::npos ? 0 : nSlash + 1, kBesideBytes);
    std::random_device seed;
    std::mt19937 random(seed());
    TemporaryEntry* pEntry = Publish(fdFolder);
    for (int nTry = 0; nTry < 100; ++nTry)
    {
        const std::string strName = "." + strBesideName + "." + RandomSuffix(random) + ".tmp";
        pEntry->szName[strName.copy(pEntry->szName, kMaxNameBytes - 1)] = '\0';
        // Created and made live with the signals held back on this thread, and counted, so that
        // a handler on another thread waits for it; once the process is ending nothing new is
        // created (the thread waits for the end).
        int fd = -1;
        {
            const CCleanupSignalsBlocked blocked;
            g_nCreating.fetch_add(1);
            if (g_bEnding.load())
            {
                g_nCreating.fetch_sub(1);
                for (;;)
                    pause();
            }
            fd = openat(fdFolder, pEntry->szName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            const int nError = errno;
            if (fd >= 0)
                pEntry->bLive.store(true);
            g_nCreating.fetch_sub(1);
            errno = nError;
        }
        if (fd >= 0)
            return TemporaryFile{fd, fdFolder, strName, pEntry};
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
        unlinkat(pEntry->fdFolder, pEntry->szName, 0);
}
