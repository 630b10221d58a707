#include "export/output_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "export/temporary_files.h"

namespace {

std::runtime_error PathError(const std::string& strPath, const std::string& strWhat)
{
    return std::runtime_error("cannot write '" + strPath + "': " + strWhat);
}

// The descriptor that /dev/stdout, /dev/fd/N or /proc/self/fd/N name, or -1. These are written
// through the process's own descriptor: resolving them would find the file behind the stream,
// and replacing that would cut the stream off from it.
int StandardStreamDescriptor(const std::string& strPath)
{
    for (const char* pszPrefix : {"/dev/fd/", "/proc/self/fd/"})
    {
        const size_t nPrefix = std::strlen(pszPrefix);
        if (strPath.compare(0, nPrefix, pszPrefix) == 0 && strPath.size() > nPrefix &&
            strPath.find_first_not_of("0123456789", nPrefix) == std::string::npos &&
            strPath.size() - nPrefix < 6)
            return std::atoi(strPath.c_str() + nPrefix);
    }
    if (strPath == "/dev/stdout")
        return STDOUT_FILENO;
    if (strPath == "/dev/stderr")
        return STDERR_FILENO;
    return -1;
}

struct Descriptor
{
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            close(fd);
    }
};

}  // namespace

COutputSet::~COutputSet()
{
    for (const Pending& pending : m_aPending)
        RemoveTemporary(pending.pTemporary);
}

void COutputSet::Write(const std::string& strPath, const std::function<void(COutputStream&)>& write)
{
    Descriptor file;
    struct stat st;
    const int fdStream = StandardStreamDescriptor(strPath);
    const bool bExists = fdStream < 0 && stat(strPath.c_str(), &st) == 0;
    if (fdStream < 0 && !bExists && errno != ENOENT)
        throw PathError(strPath, std::strerror(errno));

    if (fdStream >= 0)
        file.fd = fcntl(fdStream, F_DUPFD_CLOEXEC, 0);
    else if (bExists && S_ISDIR(st.st_mode))
        throw PathError(strPath, "it is a folder");
    else if (bExists && !S_ISREG(st.st_mode))
        file.fd = open(strPath.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    else
    {
        // A link is written through: the file it points to is replaced, the link stays.
        std::string strTarget = strPath;
        struct stat stLink;
        if (lstat(strPath.c_str(), &stLink) == 0 && S_ISLNK(stLink.st_mode))
        {
            std::unique_ptr<char, decltype(&std::free)> pszReal(realpath(strPath.c_str(), nullptr),
                                                                &std::free);
            if (pszReal == nullptr)
                throw PathError(strPath, "it is a link that leads nowhere");
            strTarget = pszReal.get();
        }
        const TemporaryFile temporary = CreateTemporaryBeside(strTarget);
        file.fd = temporary.fd;
        m_aPending.push_back(Pending{temporary.pEntry, temporary.strPath, strTarget});
        // The replacement keeps the permissions of the file it replaces.
        if (bExists)
            fchmod(file.fd, st.st_mode & 0777);
    }
    if (file.fd < 0)
        throw PathError(strPath, std::strerror(errno));

    CFileSink sink(file.fd);
    COutputStream stream(sink, strPath);
    write(stream);
    stream.Flush();
    const int fd = file.fd;
    file.fd = -1;
    if (close(fd) != 0 && errno != EINTR)
        throw PathError(strPath, std::strerror(errno));
}

void COutputSet::Commit()
{
    for (size_t i = 0; i < m_aPending.size(); ++i)
    {
        const Pending& pending = m_aPending[i];
        if (rename(pending.strTempPath.c_str(), pending.strTarget.c_str()) != 0)
        {
            const std::runtime_error error = PathError(pending.strTarget, std::strerror(errno));
            m_aPending.erase(m_aPending.begin(), m_aPending.begin() + static_cast<std::ptrdiff_t>(i));
            throw error;
        }
        ForgetTemporary(pending.pTemporary);
    }
    m_aPending.clear();
}
