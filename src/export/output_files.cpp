#include "export/output_files.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
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

std::string FolderOf(const std::string& strPath)
{
    const size_t nSlash = strPath.rfind('/');
    return nSlash == std::string::npos ? "." : nSlash == 0 ? "/" : strPath.substr(0, nSlash);
}

// The file's attribute flags (immutable, append-only), or 0 where they cannot be read.
int AttributeFlags(const std::string& strPath, int nOpenFlags)
{
    Descriptor file;
    file.fd = open(strPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | nOpenFlags);
    int nFlags = 0;
    if (file.fd < 0 || ioctl(file.fd, FS_IOC_GETFLAGS, &nFlags) != 0)
        return 0;
    return nFlags;
}

// Throws unless the existing regular file strTarget can be replaced: the reasons a rename into
// its place would fail, found before any output is put in place. Replacing must not grant more
// than writing would, so a file the user could not write is not replaced either.
void CheckReplaceable(const std::string& strPath, const std::string& strTarget, const struct stat& st)
{
    if (faccessat(AT_FDCWD, strTarget.c_str(), W_OK, AT_EACCESS) != 0)
        throw PathError(strPath, std::strerror(errno));
    const std::string strFolder = FolderOf(strTarget);
    struct stat stFolder;
    if (stat(strFolder.c_str(), &stFolder) != 0)
        throw PathError(strPath, std::strerror(errno));
    const uid_t uid = geteuid();
    if ((stFolder.st_mode & S_ISVTX) && uid != 0 && st.st_uid != uid && stFolder.st_uid != uid)
        throw PathError(strPath,
                        "it belongs to another user in a folder where only owners may replace files");
    struct statx stx;
    if (statx(AT_FDCWD, strTarget.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &stx) == 0 &&
        (stx.stx_attributes_mask & stx.stx_attributes & STATX_ATTR_MOUNT_ROOT))
        throw PathError(strPath, "it is a mount point");
    const int nFileFlags = AttributeFlags(strTarget, O_NOFOLLOW);
    if (nFileFlags & (FS_IMMUTABLE_FL | FS_APPEND_FL))
        throw PathError(strPath, nFileFlags & FS_IMMUTABLE_FL ? "it is immutable" : "it is append-only");
    const int nFolderFlags = AttributeFlags(strFolder, O_DIRECTORY);
    if (nFolderFlags & (FS_IMMUTABLE_FL | FS_APPEND_FL))
        throw PathError(strPath, nFolderFlags & FS_IMMUTABLE_FL ? "its folder is immutable"
                                                                : "its folder is append-only");
}

}  // namespace

bool IsWrittenDirectly(const std::string& strPath)
{
    struct stat st;
    return StandardStreamDescriptor(strPath) >= 0 ||
           (stat(strPath.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode));
}

std::string ResolvedOutputPath(const std::string& strPath)
{
    struct stat stLink;
    if (lstat(strPath.c_str(), &stLink) != 0 || !S_ISLNK(stLink.st_mode))
        return strPath;
    std::unique_ptr<char, decltype(&std::free)> pszReal(realpath(strPath.c_str(), nullptr), &std::free);
    return pszReal ? std::string(pszReal.get()) : std::string();
}

bool FindSameFile(const std::vector<std::string>& aPaths, size_t& nFirst, size_t& nSecond)
{
    std::map<std::string, size_t> seen;
    for (size_t i = 0; i < aPaths.size(); ++i)
    {
        const std::string& strPath = aPaths[i];
        std::string strKey;
        struct stat st;
        if (StandardStreamDescriptor(strPath) >= 0)
            continue;
        if (stat(strPath.c_str(), &st) == 0)
        {
            if (!S_ISREG(st.st_mode))
                continue;
            strKey = "file " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
        }
        else
        {
            const size_t nSlash = strPath.rfind('/');
            std::unique_ptr<char, decltype(&std::free)> pszFolder(
                realpath(FolderOf(strPath).c_str(), nullptr), &std::free);
            strKey = "name " + (pszFolder ? std::string(pszFolder.get()) + "/" +
                                                strPath.substr(nSlash == std::string::npos ? 0 : nSlash + 1)
                                          : strPath);
        }
        const auto [it, bNew] = seen.emplace(strKey, i);
        if (!bNew)
        {
            nFirst = it->second;
            nSecond = i;
            return true;
        }
    }
    return false;
}

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
        const std::string strTarget = ResolvedOutputPath(strPath);
        if (strTarget.empty())
            throw PathError(strPath, "it is a link that leads nowhere");
        if (bExists)
            CheckReplaceable(strPath, strTarget, st);
        const TemporaryFile temporary = CreateTemporaryBeside(strTarget);
        file.fd = temporary.fd;
        const size_t nSlash = strTarget.rfind('/');
        m_aPending.push_back(Pending{temporary.pEntry, temporary.fdFolder, temporary.strName, strTarget,
                                     strTarget.substr(nSlash == std::string::npos ? 0 : nSlash + 1),
                                     Placed::kNot});
        // The replacement keeps the owner, where the user may give it, and then the mode bits
        // (a change of owner clears set-user-ID) of the file it replaces.
        if (bExists)
        {
            if (fchown(file.fd, st.st_uid, st.st_gid) != 0 &&
                fchown(file.fd, static_cast<uid_t>(-1), st.st_gid) != 0)
            {
                // Not permitted: the replacement belongs to the user.
            }
            fchmod(file.fd, st.st_mode & 07777);
        }
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
    const CCleanupSignalsBlocked blocked;
    size_t nPlaced = 0;
    try
    {
        for (; nPlaced < m_aPending.size(); ++nPlaced)
            PutInPlace(m_aPending[nPlaced]);
    }
    catch (const std::runtime_error&)
    {
        while (nPlaced > 0)
            TakeBack(m_aPending[--nPlaced]);
        throw;
    }
    // Each exchanged temporary now holds the file it replaced.
    for (const Pending& pending : m_aPending)
        if (pending.placed == Placed::kExchanged)
            RemoveTemporary(pending.pTemporary);
        else
            ForgetTemporary(pending.pTemporary);
    m_aPending.clear();
}

void COutputSet::PutInPlace(Pending& pending)
{
    // The output goes where it was asked for, or nowhere: not into a folder moved elsewhere.
    struct stat stFolder, stNow;
    if (fstat(pending.fdFolder, &stFolder) != 0 || stat(FolderOf(pending.strTarget).c_str(), &stNow) != 0 ||
        stFolder.st_dev != stNow.st_dev || stFolder.st_ino != stNow.st_ino)
        throw PathError(pending.strTarget, "its folder was moved or replaced during the run");
    const int fd = pending.fdFolder;
    const char* pszTemp = pending.strTempName.c_str();
    const char* pszTarget = pending.strTargetName.c_str();
    if (renameat2(fd, pszTemp, fd, pszTarget, RENAME_EXCHANGE) == 0)
    {
        // What was exchanged must be a file the run may remove: a folder (or anything else) that
        // took the output's name during the run goes back under its name.
        struct stat stReplaced;
        if (fstatat(fd, pszTemp, &stReplaced, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(stReplaced.st_mode))
        {
            renameat2(fd, pszTemp, fd, pszTarget, RENAME_EXCHANGE);
            throw PathError(pending.strTarget,
                            S_ISDIR(stReplaced.st_mode)
                                ? "a folder took its name during the run"
                                : "something other than a file took its name during the run");
        }
        pending.placed = Placed::kExchanged;
        return;
    }
    if (errno == ENOENT && renameat2(fd, pszTemp, fd, pszTarget, RENAME_NOREPLACE) == 0)
    {
        pending.placed = Placed::kCreated;
        return;
    }
    // A file system that can neither exchange nor refuse to replace: a plain rename, which
    // cannot be taken back.
    if ((errno == EINVAL || errno == ENOSYS) && renameat(fd, pszTemp, fd, pszTarget) == 0)
    {
        pending.placed = Placed::kRenamed;
        return;
    }
    throw PathError(pending.strTarget, std::strerror(errno));
}

void COutputSet::TakeBack(Pending& pending)
{
    const int fd = pending.fdFolder;
    if (pending.placed == Placed::kExchanged)
        renameat2(fd, pending.strTempName.c_str(), fd, pending.strTargetName.c_str(), RENAME_EXCHANGE);
    else if (pending.placed == Placed::kCreated)
    {
        unlinkat(fd, pending.strTargetName.c_str(), 0);
        ForgetTemporary(pending.pTemporary);
    }
    pending.placed = Placed::kNot;
}
