// ICGEM gravity field files: the header's keys as ICGEM files spell them, one a line, then a
// "gfc" line for each coefficient.
#include <cmath>
#include <string>
#include <vector>

#include "export/coefficient_degrees.h"
#include "export/coefficient_writers.h"
#include "export/values_writer.h"

namespace {

void WriteKey(COutputStream& stream, const char* pszKey, const std::string& strValue)
{
    std::string strLine = pszKey;
    strLine.append(strLine.size() < 24 ? 24 - strLine.size() : 1, ' ');
    stream.Write(strLine + strValue + '\n');
}

std::string KnownOr(const std::string& strValue, const std::string& strDefault)
{
    return strValue.empty() ? strDefault : strValue;
}

std::string KnownOr(double dValue, double dDefault)
{
    return DecimalText(std::isfinite(dValue) ? dValue : dDefault);
}

}  // namespace

void WriteIcgemCoefficients(COutputStream& stream, const Field& coefficients, const GravityHeader& header,
                            const std::string& strModelName)
{
    CCoefficientDegrees degrees(coefficients.aTerms);
    stream.Write("begin_of_head\n");
    WriteKey(stream, "product_type", KnownOr(header.strProductType, "gravity_field"));
    WriteKey(stream, "modelname", KnownOr(header.strModelName, strModelName));
    WriteKey(stream, "earth_gravity_constant", KnownOr(header.dGm, 1.0));
    WriteKey(stream, "radius", KnownOr(header.dRadius, 1.0));
    WriteKey(stream, "max_degree", std::to_string(degrees.GetMaxDegree()));
    WriteKey(stream, "errors", "no");
    WriteKey(stream, "norm",
             coefficients.convention.normalization == Normalization::kUnnormalized ? "unnormalized"
                                                                                   : "fully_normalized");
    if (!header.strTideSystem.empty())
        WriteKey(stream, "tide_system", header.strTideSystem);
    stream.Write("\nkey    L    M    C    S\n");
    stream.Write("end_of_head\n");
    for (int32_t l = 0; l <= degrees.GetMaxDegree(); ++l)
    {
        const std::vector<double>& aDegree = degrees.Degree(l);
        for (int32_t m = 0; m <= l; ++m)
            stream.Write("gfc " + std::to_string(l) + " " + std::to_string(m) + " " +
                         DecimalText(aDegree[static_cast<size_t>(int64_t{l} + m)]) + " " +
                         DecimalText(m > 0 ? aDegree[static_cast<size_t>(l - m)] : 0.0) + '\n');
    }
}
