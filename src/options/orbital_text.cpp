#include "options/orbital_text.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "export/values_writer.h"
#include "hydrogen/boundary_level.h"
#include "hydrogen/orbital_slice.h"
#include "hydrogen/radial_function.h"
#include "options/request_error.h"
#include "options/value_text.h"

HydrogenNumbers ParseHydrogenNumbers(const std::string& strName, const std::string& strText)
{
    const std::vector<double> a = ParseNumbers(strName, strText, 0, "N,L,M (or N with --table)");
    if (a.size() != 1 && a.size() != 3)
        throw RequestError(strName + " needs N,L,M (or N alone with --table), not '" + strText + "'");
    for (const double d : a)
        if (d != std::floor(d) || std::fabs(d) > 1e6)
            throw RequestError(strName + " needs whole numbers N,L,M, not '" + strText + "'");
    const OrbitalNumbers numbers{static_cast<int32_t>(a[0]), a.size() == 3 ? static_cast<int32_t>(a[1]) : 0,
                                 a.size() == 3 ? static_cast<int32_t>(a[2]) : 0, 1.0};
    if (a.size() == 1 && (numbers.n < 1 || numbers.n > kMaxPrincipal))
        throw RequestError(strName + " N needs N from 1 to " + std::to_string(kMaxPrincipal) + ", not '" +
                           strText + "'");
    const std::string strError = OrbitalNumbersError(numbers);
    if (!strError.empty())
        throw RequestError(strName + ": " + strError);
    return HydrogenNumbers{numbers.n, numbers.l, numbers.m, a.size() == 1};
}

double ParseCharge(const std::string& strName, const std::string& strText)
{
    const double Z = ParseNumbers(strName, strText, 1, "Z")[0];
    if (!(Z >= kMinCharge && Z <= kMaxCharge))
        throw RequestError(strName + " needs Z from " + DecimalText(kMinCharge) + " to " +
                           DecimalText(kMaxCharge) + ", not '" + strText + "'");
    return Z;
}

double ParseEnclose(const std::string& strName, const std::string& strText)
{
    const double P = ParseNumbers(strName, strText, 1, "P")[0];
    if (!(P >= kMinEnclose && P <= kMaxEnclose))
        throw RequestError(strName + " needs a probability P from " + ShortDecimalText(kMinEnclose) + " to " +
                           ShortDecimalText(kMaxEnclose) + ", not '" + strText + "'");
    return P;
}

std::array<double, 3> ParseSliceNormal(const std::string& strName, const std::string& strText)
{
    SlicePlane plane{};
    if (FindSlicePlane(strText, plane))
        return plane.aNormal;
    if (strText.find(',') == std::string::npos)
        throw RequestError(strName + " needs xz, xy, yz or a normal A,B,C, not '" + strText + "'");
    plane.aNormal = ParsePoint(strName, strText);
    const std::string strError = SlicePlaneError(plane);
    if (!strError.empty())
        throw RequestError(strName + ": " + strError + ", not '" + strText + "'");
    return plane.aNormal;
}

bool SplitPrincipal(const std::string& strName, int32_t& n, std::string& strRest)
{
    const size_t nDigits = std::min(strName.find_first_not_of("0123456789"), strName.size());
    if (nDigits == 0)
        return false;
    n = nDigits > 9 ? INT32_MAX : std::stoi(strName.substr(0, nDigits));
    strRest = strName.substr(nDigits);
    return true;
}
