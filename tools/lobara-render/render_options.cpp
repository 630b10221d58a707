#include "lobara-render/render_options.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace
{

// The whole text must be one decimal integer within 32 bits, with an optional sign.
bool ParseInt32(const std::string& strText, int32_t& nValue)
{
    if (strText.empty() || strText.find_first_not_of("+-0123456789") != std::string::npos)
        return false;
    errno = 0;
    char* pEnd = nullptr;
    const long long n = std::strtoll(strText.c_str(), &pEnd, 10);
    if (errno != 0 || *pEnd != '\0' || n < std::numeric_limits<int32_t>::min() ||
        n > std::numeric_limits<int32_t>::max())
        return false;
    nValue = static_cast<int32_t>(n);
    return true;
}

}  // namespace

RenderOptions ParseRenderOptions(int argc, const char* const* argv)
{
    RenderOptions options;
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
            options.bStats = true;
            continue;
        }

        int32_t* pInteger = strName == "--l"       ? &options.nL
                            : strName == "--m"     ? &options.nM
                            : strName == "--theta" ? &options.nThetaDiv
                            : strName == "--phi"   ? &options.nPhiDiv
                                                   : nullptr;
        if (pInteger == nullptr && strName != "--values")
            throw UsageError("unknown option '" + strName + "'");
        if (!bHasValue)
        {
            if (i + 1 >= argc)
                throw UsageError(strName + " needs a value");
            strValue = argv[++i];
        }
        if (pInteger == nullptr)
        {
            if (strValue.empty())
                throw UsageError("--values needs a file name");
            options.strValuesPath = strValue;
        }
        else if (!ParseInt32(strValue, *pInteger))
        {
            throw UsageError(strName + " needs an integer from -2147483648 to 2147483647, not '" + strValue +
                             "'");
        }
    }
    if (!options.bStats && options.strValuesPath.empty())
        throw UsageError("nothing to do: give --stats or --values FILE");
    return options;
}
