#include "lobara-render/render_options.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <map>

#include "view/camera_math.h"

namespace {

// The whole text must be one decimal integer within [nMin, nMax], with an optional sign.
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

int32_t ParseInt32(const std::string& strName, const std::string& strText, long long nMin = INT32_MIN,
                   long long nMax = INT32_MAX)
{
    long long n = 0;
    if (!ParseInteger(strText, nMin, nMax, n))
        throw UsageError(strName + " needs an integer from " + std::to_string(nMin) + " to " +
                         std::to_string(nMax) + ", not '" + strText + "'");
    return static_cast<int32_t>(n);
}

// "X,Y,Z": three finite decimal numbers, read the same way whatever the locale.
void ParsePoint(const std::string& strName, const std::string& strText, double point[3])
{
    const char* p = strText.data();
    const char* pEnd = p + strText.size();
    for (int i = 0; i < 3; ++i)
    {
        if (p != pEnd && *p == '+' && p + 1 != pEnd && p[1] != '-')
            ++p;
        const auto result = std::from_chars(p, pEnd, point[i]);
        const bool bSeparatorOk = i < 2 ? result.ptr != pEnd && *result.ptr == ',' : result.ptr == pEnd;
        if (result.ec != std::errc() || !bSeparatorOk || !std::isfinite(point[i]))
            throw UsageError(strName + " needs three finite numbers X,Y,Z, not '" + strText + "'");
        p = result.ptr + (i < 2 ? 1 : 0);
    }
}

// "WxH", each side from 1 to 16384 pixels.
void ParseSize(const std::string& strText, int& nWidth, int& nHeight)
{
    const size_t nX = strText.find('x');
    long long w = 0, h = 0;
    if (nX == std::string::npos || !ParseInteger(strText.substr(0, nX), 1, 16384, w) ||
        !ParseInteger(strText.substr(nX + 1), 1, 16384, h))
        throw UsageError("--size needs WIDTHxHEIGHT, each from 1 to 16384, not '" + strText + "'");
    nWidth = static_cast<int>(w);
    nHeight = static_cast<int>(h);
}

std::string NonEmptyPath(const std::string& strName, const std::string& strText)
{
    if (strText.empty())
        throw UsageError(strName + " needs a file name");
    return strText;
}

}  // namespace

RenderOptions ParseRenderOptions(int argc, const char* const* argv)
{
    RenderOptions o;
    using Setter = std::function<void(const std::string& strName, const std::string& strValue)>;
    const std::map<std::string, Setter> setters = {
        {"--l", [&](auto& n, auto& v) { o.nL = ParseInt32(n, v); }},
        {"--m", [&](auto& n, auto& v) { o.nM = ParseInt32(n, v); }},
        {"--theta", [&](auto& n, auto& v) { o.nThetaDiv = ParseInt32(n, v); }},
        {"--phi", [&](auto& n, auto& v) { o.nPhiDiv = ParseInt32(n, v); }},
        {"--scheme", [&](auto& n, auto& v) { o.nColorScheme = ParseInt32(n, v, 0, 6); }},
        {"--from", [&](auto& n, auto& v) { ParsePoint(n, v, o.from); }},
        {"--to", [&](auto& n, auto& v) { ParsePoint(n, v, o.to); }},
        {"--size", [&](auto&, auto& v) { ParseSize(v, o.nWidth, o.nHeight); }},
        {"--values", [&](auto& n, auto& v) { o.strValuesPath = NonEmptyPath(n, v); }},
        {"--out", [&](auto& n, auto& v) { o.strPicturePath = NonEmptyPath(n, v); }},
    };

    for (int i = 1; i < argc; ++i)
    {
        std::string strName = argv[i];
        std::string strValue;
        bool bHasValue = false;
        const size_t nEquals = strName.find('=');
        if (strName.rfind("--", 0) == 0 && nEquals != std::string::npos)
        {
            strValue = strName.substr(nEquals + 1);
            strName.resize(nEquals);
            bHasValue = true;
        }

        if (strName == "--stats")
        {
            if (bHasValue)
                throw UsageError("--stats takes no value");
            o.bStats = true;
            continue;
        }
        const auto setter = setters.find(strName);
        if (setter == setters.end())
            throw UsageError("unknown option '" + strName + "'");
        if (!bHasValue)
        {
            if (i + 1 >= argc)
                throw UsageError(strName + " needs a value");
            strValue = argv[++i];
        }
        setter->second(strName, strValue);
    }

    double modelview[16];
    if (!ComputeModelview(o.from, o.to, modelview))
        throw UsageError("--from and --to do not place a camera: they must be distinct points");
    if (!o.bStats && o.strValuesPath.empty() && o.strPicturePath.empty())
        throw UsageError("nothing to do: give --stats, --values FILE or --out FILE.png");
    return o;
}
