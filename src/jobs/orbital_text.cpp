#include "jobs/orbital_text.h"

#include <cmath>
#include <vector>

#include "export/values_writer.h"
#include "hydrogen/boundary_level.h"
#include "hydrogen/orbital_slice.h"
#include "hydrogen/radial_function.h"
#include "jobs/request_error.h"
#include "jobs/value_text.h"

void ReadOrbitalNumbers(const std::string& strName, const std::string& strText, Request& request)
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
    if (a.size() == 1)
    {
        request.nHydrogenShell = numbers.n;
        request.hydrogen.reset();
    }
    else
    {
        request.hydrogen = {numbers.n, numbers.l, numbers.m};
        request.nHydrogenShell.reset();
    }
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
        throw RequestError(strName + " needs a probability P above 0 and below 1, not '" + strText + "'");
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
