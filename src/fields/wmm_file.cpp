// The World Magnetic Model's coefficient file (.COF): the epoch and the model's name on the first
// line (then the date it was made), rows `n m g h gdot hdot`, and a line of nines after them.
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "fields/coefficient_file.h"
#include "fields/coefficient_formats.h"
#include "fields/coefficient_input.h"
#include "fields/coefficient_terms.h"
#include "fields/coefficient_text.h"
#include "fields/model_time.h"

namespace {

// The years from its epoch for which a model is made.
constexpr double kModelYears = 5.0;

// The line of nines that ends the rows.
bool IsEndLine(const std::vector<std::string_view>& aFields)
{
    return aFields.size() == 1 && aFields[0].size() >= 4 &&
           aFields[0].find_first_not_of('9') == std::string_view::npos;
}

std::string YearText(double dYear)
{
    char szText[32];
    std::snprintf(szText, sizeof szText, "%.7g", dYear);
    return szText;
}

}  // namespace

CoefficientFile ReadWmmFile(const std::string& strPath, int32_t nMaxDegree,
                            const std::optional<double>& epoch)
{
    CTextLines lines(strPath);
    CoefficientFile file;
    double dEpoch = 0.0, dYear = 0.0;
    bool bHeader = false, bEnded = false;
    CCoefficientTerms terms(strPath, nMaxDegree), rates(strPath, nMaxDegree);
    while (!bEnded && lines.Next())
    {
        const std::vector<std::string_view>& aFields = lines.GetFields();
        if (aFields.empty())
            continue;
        if (!bHeader)
        {
            if (aFields.size() < 2)
                lines.Fail("the first line needs the model's epoch and name");
            dEpoch = lines.Number(0, "the epoch");
            if (dEpoch < 1.0 || dEpoch > 9999.0)
                lines.Fail("the epoch " + QuoteFileText(aFields[0]) + " is not a year from 1 to 9999");
            file.header.strModelName = std::string(aFields[1]);
            dYear = epoch ? DecimalYear(*epoch) : dEpoch;
            bHeader = true;
            continue;
        }
        if (IsEndLine(aFields))
        {
            bEnded = true;
            continue;
        }
        if (aFields.size() != 6)
            lines.Fail("a row needs n, m, g, h and their rates gdot and hdot, found " +
                       std::to_string(aFields.size()) + " fields");
        const CosineSineRow row = ReadCosineSineRow(lines, 0);
        const double dRateG = lines.Number(4, "gdot"), dRateH = lines.Number(5, "hdot");
        if (row.l == 0)
            lines.Fail("degree 0 has no Gauss coefficient: the rows begin at n = 1");
        // At the epoch t: g + gdot (t - t0); the rates as they are.
        const double dSpan = dYear - dEpoch;
        terms.AddCosineSine(CosineSineRow{row.l, row.m, row.c + dRateG * dSpan, row.s + dRateH * dSpan},
                            lines.GetLineNumber());
        rates.AddCosineSine(CosineSineRow{row.l, row.m, dRateG, dRateH}, lines.GetLineNumber());
    }
    if (!bHeader)
        ThrowCoefficientError(strPath, 0, "the file has no line of the model's epoch and name");
    if (!bEnded)
        ThrowCoefficientError(strPath, 0, "no line of nines ends the rows: the file may be cut short");
    file.aTerms = terms.TakeTerms();
    file.rates = rates.TakeTerms();
    if (dYear < dEpoch || dYear > dEpoch + kModelYears)
        file.aWarnings.push_back("the epoch " + YearText(dYear) + " is outside the model's years " +
                                 YearText(dEpoch) + " to " + YearText(dEpoch + kModelYears) +
                                 ": its field is carried there by its secular variation");
    file.normalization = Normalization::kSchmidt;
    file.bNormalizationFromFile = true;
    file.header.dRadius = kGeomagneticReferenceRadius;
    file.bTimeVariable = true;
    return file;
}
