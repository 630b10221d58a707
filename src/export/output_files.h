#pragma once

#include <functional>
#include <string>
#include <vector>

#include "export/output_stream.h"
#include "export/temporary_files.h"

// Whether an output at strPath is written directly, not replaced: a standard stream, a device
// or a pipe.
bool IsWrittenDirectly(const std::string& strPath);

// The file an output at strPath is written to: strPath, or for a link the file it leads to
// (empty when it leads nowhere).
std::string ResolvedOutputPath(const std::string& strPath);

// Whether two of aPaths name the same file, and which, the first pair found: an existing file by
// its device and inode (through links and other names), a new one by its resolved folder and
// name. Devices, pipes and standard streams, written directly, may be named more than once.
bool FindSameFile(const std::vector<std::string>& aPaths, size_t& nFirst, size_t& nSecond);

// The files of one run, written all or nothing. A regular file, or a path that does not exist
// yet, is written to a new temporary beside it (beside the file a link points to), with the
// owner and mode of the file it will replace; Commit puts every temporary in place once all
// outputs are written, and a set destroyed before that removes them, so existing files stay as
// they were. A file that could not be replaced (one the user may not write, in a sticky folder,
// immutable, append-only or a mount point) is refused when it is opened. Other names of a
// replaced file (hard links) keep its old contents. A device or pipe (/dev/stdout, a
// FIFO) is written directly, as it cannot be replaced.
class COutputSet
{
public:
    COutputSet() = default;
    COutputSet(const COutputSet&) = delete;
    COutputSet& operator=(const COutputSet&) = delete;
    ~COutputSet();

    // Opens strPath, lets write fill it and finishes it. Throws std::runtime_error naming the
    // path when it cannot be opened or written.
    void Write(const std::string& strPath, const std::function<void(COutputStream&)>& write);

    // Puts every written file in place, each exchanged with the file it replaces, and removes
    // the files replaced. Throws std::runtime_error when one cannot be put in place (its folder
    // was moved away, or a folder took its name during the run), after taking back those
    // already placed, so that every old file is as it was.
    void Commit();

private:
    enum class Placed
    {
        kNot,
        kExchanged,  // the temporary's name now holds the file replaced
        kCreated,    // there was no file by the target's name
        kRenamed,    // replaced by a plain rename, which cannot be taken back
    };
    struct Pending
    {
        TemporaryEntry* pTemporary;
        int fdFolder;  // the folder of the temporary and of the target
        std::string strTempName;
        std::string strTarget;
        std::string strTargetName;
        Placed placed;
    };
    void PutInPlace(Pending& pending);
    void TakeBack(Pending& pending);

    std::vector<Pending> m_aPending;
};
