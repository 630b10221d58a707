#pragma once

#include <functional>
#include <string>
#include <vector>

#include "export/output_stream.h"
#include "export/temporary_files.h"

// The files of one run, written all or nothing. A regular file, or a path that does not exist
// yet, is written to a new temporary beside it (beside the file a link points to); Commit
// renames every temporary into place once all outputs are written, and a set destroyed before
// that removes them, so existing files stay as they were. A device or pipe (/dev/stdout, a
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

    // Puts every written file in place. Throws std::runtime_error when a rename fails; files
    // renamed before it stay renamed.
    void Commit();

private:
    struct Pending
    {
        TemporaryEntry* pTemporary;
        std::string strTempPath;
        std::string strTarget;
    };
    std::vector<Pending> m_aPending;
};
