// The text formats of coefficients: shtools, dov and the ACN channels.
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "export/coefficient_degrees.h"
#include "export/coefficient_writers.h"
#include "export/values_writer.h"

namespace {

// "# ...: 4pi, no Condon-Shortley phase, S multiplies +sin(m phi)"
std::string ConventionComment(const char* pszColumns, const Convention& convention)
{
    return std::string("# ") + pszColumns + ": " + NormalizationName(convention.normalization) + ", " +
           (convention.bCondonShortley ? "with" : "no") +
           " Condon-Shortley phase, S multiplies +sin(m phi)\n";
}

// pyshtools' header line "R, GM, lmax\n" (or "R, lmax\n"), when the header has either constant. The
// constants in exponent notation with 17 significant digits, so that no reader takes the line for
// a row of degree and order.
void WriteConstantsLine(COutputStream& stream, const GravityHeader& header, int32_t nMaxDegree)
{
    const bool bRadius = std::isfinite(header.dRadius), bGm = std::isfinite(header.dGm);
    if (!bRadius && !bGm)
        return;
    const auto number = [](double d) {
        char acText[32];
        const auto result =
            std::to_chars(acText, acText + sizeof acText, d, std::chars_format::scientific, 16);
        return std::string(acText, result.ptr);
    };
    std::string strLine = number(bRadius ? header.dRadius : 0.0);
    if (bGm)
        strLine += ", " + number(header.dGm);
    strLine += ", " + std::to_string(nMaxDegree) + '\n';
    stream.Write(strLine);
}

// "l, m, a, b\n"
void WriteRow(COutputStream& stream, int32_t l, int32_t m, std::initializer_list<double> values)
{
    std::string strLine = std::to_string(l) + ", " + std::to_string(m);
    for (const double d : values)
        strLine += ", " + DecimalText(d);
    strLine += '\n';
    stream.Write(strLine);
}

}  // namespace

void WriteShtoolsCoefficients(COutputStream& stream, const Field& coefficients, const GravityHeader& header)
{
    CCoefficientDegrees degrees(coefficients.aTerms);
    stream.Write(ConventionComment("degree, order, C, S", coefficients.convention));
    WriteConstantsLine(stream, header, degrees.GetMaxDegree());
    for (int32_t l = 0; l <= degrees.GetMaxDegree(); ++l)
    {
        const std::vector<double>& aDegree = degrees.Degree(l);
        for (int32_t m = 0; m <= l; ++m)
            WriteRow(stream, l, m,
                     {aDegree[static_cast<size_t>(int64_t{l} + m)],
                      m > 0 ? aDegree[static_cast<size_t>(int64_t{l} - m)] : 0.0});
    }
}

void WriteDovCoefficients(COutputStream& stream, const Field& coefficients, const GravityHeader& header)
{
    CCoefficientDegrees degrees(coefficients.aTerms);
    stream.Write(ConventionComment("degree, order, value (S at a negative order)", coefficients.convention));
    WriteConstantsLine(stream, header, degrees.GetMaxDegree());
    for (int32_t l = 0; l <= degrees.GetMaxDegree(); ++l)
    {
        const std::vector<double>& aDegree = degrees.Degree(l);
        WriteRow(stream, l, 0, {aDegree[static_cast<size_t>(l)]});
        for (int32_t m = 1; m <= l; ++m)
        {
            WriteRow(stream, l, m, {aDegree[static_cast<size_t>(int64_t{l} + m)]});
            WriteRow(stream, l, -m, {aDegree[static_cast<size_t>(l - m)]});
        }
    }
}

void WriteAcnChannels(COutputStream& stream, const Field& coefficients)
{
    CCoefficientDegrees degrees(coefficients.aTerms);
    for (int32_t l = 0; l <= degrees.GetMaxDegree(); ++l)
        for (const double c : degrees.Degree(l))
            stream.Write(DecimalText(c) + '\n');
}
