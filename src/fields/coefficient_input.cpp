#include "fields/coefficient_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

void ThrowCoefficientError(const std::string& strPath, int64_t nLine, const std::string& strWhat)
{
    // A NUL byte in the path is written as \0, so that the message is not cut there.
    std::string strMessage = "cannot read '";
    for (const char c : strPath)
        strMessage += c == '\0' ? std::string("\\0") : std::string(1, c);
    strMessage += "'";
    if (nLine > 0)
        strMessage += " line " + std::to_string(nLine);
    throw std::runtime_error(strMessage + ": " + strWhat);
}

std::string QuoteFileText(std::string_view strText)
{
    constexpr size_t kShown = 32;
    if (strText.size() <= kShown)
        return "'" + std::string(strText) + "'";
    // Cut before a character, not inside one's UTF-8 bytes.
    size_t nCut = kShown;
    while (nCut > 0 && (static_cast<unsigned char>(strText[nCut]) & 0xC0) == 0x80)
        --nCut;
    return "'" + std::string(strText.substr(0, nCut)) + "...'";
}

FilePointer OpenCoefficientFile(const std::string& strPath)
{
    // Opened without waiting, so that a FIFO or a device is refused at once rather than blocking
    // until a writer comes: only a regular file's size and bytes are what the readers take.
    if (strPath.find('\0') != std::string::npos)
        ThrowCoefficientError(strPath, 0, "the path holds a NUL character");
    const int nFile = open(strPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (nFile < 0)
        ThrowCoefficientError(strPath, 0, std::generic_category().message(errno));
    struct stat status = {};
    const bool bStat = fstat(nFile, &status) == 0;
    const int nError = errno;
    if (!bStat || !S_ISREG(status.st_mode))
    {
        close(nFile);
        ThrowCoefficientError(strPath, 0,
                              !bStat                    ? std::generic_category().message(nError)
                              : S_ISDIR(status.st_mode) ? "it is a folder"
                                                        : "it is not a regular file");
    }
    FilePointer pFile(fdopen(nFile, "rb"));
    if (!pFile)
    {
        close(nFile);
        ThrowCoefficientError(strPath, 0, std::generic_category().message(errno));
    }
    return pFile;
}
