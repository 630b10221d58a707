#pragma once

#include <string>

// Temporary files that a run creates beside its outputs. Only files this process created are
// ever removed: when the run fails, and when a signal (interrupt, hang-up, termination, broken
// pipe) ends it, after which the signal takes its usual course.

// Removes the live temporaries when one of those signals arrives, and makes a write beyond the
// file size limit fail (EFBIG) rather than end the process. Call once, early.
void RemoveTemporariesOnSignal();

struct TemporaryEntry;

struct TemporaryFile
{
    int fd;                  // open for writing
    std::string strPath;     // beside the file it will replace
    TemporaryEntry* pEntry;  // its place among the live temporaries
};

// Creates a new, empty file with a random name in the folder of strBeside, exclusively and never
// through a link. Throws std::runtime_error.
TemporaryFile CreateTemporaryBeside(const std::string& strBeside);

// Forgets a temporary that has been renamed into place, or removes one that is not wanted.
void ForgetTemporary(TemporaryEntry* pEntry);
void RemoveTemporary(TemporaryEntry* pEntry);
