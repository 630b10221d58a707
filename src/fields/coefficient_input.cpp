#include "fields/coefficient_input.h"

#include <cerrno>
#include <stdexcept>
#include <system_error>

void ThrowCoefficientError(const std::string& strPath, int64_t nLine, const std::string& strWhat)
{
    std::string strMessage = "cannot read '" + strPath + "'";
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
    FilePointer pFile(std::fopen(strPath.c_str(), "rb"));
    if (!pFile)
        ThrowCoefficientError(strPath, 0, std::generic_category().message(errno));
    return pFile;
}
