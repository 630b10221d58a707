#include "lobara-render/option_values.h"

#include <charconv>
#include <cmath>

#include "lobara-render/usage_error.h"

namespace {

bool ParseInteger(const std::string& strText, long long nMin, long long nMax, long long& nValue)
{
    const char* pBegin = strText.data();
    const char* pEnd = pBegin + strText.size();
    if (pBegin != pEnd && *pBegin == '+' && pBegin + 1 != pEnd && pBegin[1] != '-')
        ++pBegin;
    long long n = 0;
    const auto result = std::from_chars(pBegin, pEnd, n);
    if (result.ec != std::errc() || result.ptr != pEnd || n < nMin || n > nMax)
        return false;
    nValue = n;
    return true;
}

}  // namespace

int32_t ParseInt32(const std::string& strName, const std::string& strText, long long nMin, long long nMax)
{
    long long n = 0;
    if (!ParseInteger(strText, nMin, nMax, n))
        throw UsageError(strName + " needs an integer from " + std::to_string(nMin) + " to " +
                         std::to_string(nMax) + ", not '" + strText + "'");
    return static_cast<int32_t>(n);
}

void ParsePoint(const std::string& strName, const std::string& strText, double point[3])
{
    double value[3];
    const char* p = strText.data();
    const char* pEnd = p + strText.size();
    for (int i = 0; i < 3; ++i)
    {
        if (p != pEnd && *p == '+' && p + 1 != pEnd && p[1] != '-')
            ++p;
        const auto result = std::from_chars(p, pEnd, value[i]);
        const bool bSeparatorOk = i < 2 ? result.ptr != pEnd && *result.ptr == ',' : result.ptr == pEnd;
        if (result.ec != std::errc() || !bSeparatorOk || !std::isfinite(value[i]))
            throw UsageError(strName + " needs three finite numbers X,Y,Z, not '" + strText + "'");
        p = result.ptr + (i < 2 ? 1 : 0);
    }
    for (int i = 0; i < 3; ++i)
        point[i] = value[i];
}

void ParseSize(const std::string& strName, const std::string& strText, int nMaxSide, int& nWidth,
               int& nHeight)
{
    const size_t nX = strText.find('x');
    long long w = 0, h = 0;
    if (nX == std::string::npos || !ParseInteger(strText.substr(0, nX), 1, nMaxSide, w) ||
        !ParseInteger(strText.substr(nX + 1), 1, nMaxSide, h))
        throw UsageError(strName + " needs WIDTHxHEIGHT, each from 1 to " + std::to_string(nMaxSide) +
                         ", not '" + strText + "'");
    nWidth = static_cast<int>(w);
    nHeight = static_cast<int>(h);
}

std::string NonEmptyPath(const std::string& strName, const std::string& strText)
{
    if (strText.empty())
        throw UsageError(strName + " needs a file name");
    return strText;
}
