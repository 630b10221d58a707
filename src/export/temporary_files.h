#pragma once

#include <signal.h>

#include <string>

// Temporary files that a run creates beside its outputs. Only files this process created are
// ever removed: when the run fails, and when a signal ends it (any whose default ends the
// process, a crash in a library included), after which the signal takes its usual course.

// Removes the live temporaries when one of those signals arrives, unless it was ignored on
// entry, and makes a write to a closed pipe or beyond the file size limit fail (EPIPE, EFBIG)
// rather than end the process. Call once, early.
void RemoveTemporariesOnSignal();

// While it lives, the signals that end a run wait, on this thread (the only one left when files
// are put in place): the temporaries may then hold the files they replaced, which the handler
// must not remove. Faults are not held back.
class CCleanupSignalsBlocked
{
public:
    CCleanupSignalsBlocked();
    ~CCleanupSignalsBlocked();
    CCleanupSignalsBlocked(const CCleanupSignalsBlocked&) = delete;
    CCleanupSignalsBlocked& operator=(const CCleanupSignalsBlocked&) = delete;

private:
    sigset_t m_previous;
};

struct TemporaryEntry;

struct TemporaryFile
{
    int fd;                  // open for writing
    int fdFolder;            // the folder it is in, beside the file it will replace
    std::string strName;     // its name there
    TemporaryEntry* pEntry;  // its place among the live temporaries
};

// Creates a new, empty file with a random name in the folder of strBeside, exclusively and never
// through a link. The folder is held open: the file is removed from it, by name, even after the
// folder has been moved. Throws std::runtime_error.
TemporaryFile CreateTemporaryBeside(const std::string& strBeside);

// Forgets a temporary that has been renamed into place, or removes one that is not wanted.
void ForgetTemporary(TemporaryEntry* pEntry);
void RemoveTemporary(TemporaryEntry* pEntry);
