// IGRF's table of coefficients: `#` comments, a `c/s deg ord` line naming each column's kind, a
// `g/h n m` line of the epochs (decimal years) and the span of the secular variation's column,
// then one row `g|h n m` per coefficient with its value at each epoch and its yearly rate after
// the last.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "fields/coefficient_file.h"
#include "fields/coefficient_formats.h"
#include "fields/coefficient_input.h"
#include "fields/coefficient_terms.h"
#include "fields/coefficient_text.h"
#include "fields/model_time.h"

namespace {

// The years after the last epoch for which the secular variation is given.
constexpr double kRateYears = 5.0;

std::string YearText(double dYear)
{
    char szText[32];
    std::snprintf(szText, sizeof szText, "%.7g", dYear);
    return szText;
}

// Where the epoch falls in the table: the interpolation between columns nBelow and nBelow + 1,
// dWeight of the way, or, past the last, the rates' column from the last, dSpan years on.
struct Place
{
    size_t nBelow = 0;
    double dWeight = 0.0;
    bool bAfter = false;
    double dSpan = 0.0;
};

}  // namespace

CoefficientFile ReadIgrfFile(const std::string& strPath, int32_t nMaxDegree,
                             const std::optional<double>& epoch)
{
    CTextLines lines(strPath);
    std::vector<double> aEpochs;
    bool bRates = false;
    Place place;
    double dYear = 0.0;
    CCoefficientTerms terms(strPath, nMaxDegree), rates(strPath, nMaxDegree);
    CoefficientFile file;
    while (lines.Next())
    {
        const std::vector<std::string_view>& aFields = lines.GetFields();
        if (aFields.empty() || aFields[0] == "c/s")
            continue;
        if (aFields[0] == "g/h")
        {
            if (!aEpochs.empty())
                lines.Fail("a second line of epochs");
            for (size_t i = 3; i < aFields.size(); ++i)
            {
                std::string strFault;
                const std::optional<double> dEpoch = ParseNumberField(aFields[i], strFault);
                if (!dEpoch && i + 1 == aFields.size() && i > 3)
                    bRates = true;  // the span of the rates' column, such as 2025-30
                else if (!dEpoch || *dEpoch < 1.0 || *dEpoch > 9999.0)
                    lines.Fail("the epoch " + QuoteFileText(aFields[i]) + " is not a year from 1 to 9999");
                else if (!aEpochs.empty() && *dEpoch <= aEpochs.back())
                    lines.Fail("the epochs do not rise at " + QuoteFileText(aFields[i]));
                else
                    aEpochs.push_back(*dEpoch);
            }
            if (aEpochs.empty())
                lines.Fail("the line of epochs gives none");
            dYear = epoch ? DecimalYear(*epoch) : aEpochs.back();
            if (dYear < aEpochs.front())
                lines.Fail("the epoch " + YearText(dYear) + " is before the table's first, " +
                           YearText(aEpochs.front()));
            if (dYear > aEpochs.back() && !bRates)
                lines.Fail("the epoch " + YearText(dYear) + " is after the table's last, " +
                           YearText(aEpochs.back()) + ", and the table has no column of secular variation");
            while (place.nBelow + 1 < aEpochs.size() && aEpochs[place.nBelow + 1] <= dYear)
                ++place.nBelow;
            place.bAfter = place.nBelow + 1 == aEpochs.size();
            if (place.bAfter)
                place.dSpan = dYear - aEpochs.back();
            else
                place.dWeight =
                    (dYear - aEpochs[place.nBelow]) / (aEpochs[place.nBelow + 1] - aEpochs[place.nBelow]);
            continue;
        }
        if (aFields[0] != "g" && aFields[0] != "h")
            lines.Fail("a row begins with g or h, not " + QuoteFileText(aFields[0]));
        if (aEpochs.empty())
            lines.Fail("a row comes before the line of epochs (g/h n m ...)");
        const size_t nNeeded = 3 + aEpochs.size() + (bRates ? 1 : 0);
        if (aFields.size() != nNeeded)
            lines.Fail("a row needs g or h, n, m and " + std::to_string(nNeeded - 3) + " values, found " +
                       std::to_string(aFields.size()) + " fields");
        const int64_t l = lines.WholeNumber(1, "the degree");
        int64_t m = lines.WholeNumber(2, "the order");
        if (l == 0)
            lines.Fail("degree 0 has no Gauss coefficient: the rows begin at n = 1");
        if (aFields[0] == "h")
        {
            if (m <= 0)
                lines.Fail("h of order " + std::to_string(m) + " does not exist: h begins at order 1");
            m = -m;
        }
        const auto value = [&](size_t k) { return lines.Number(3 + k, "a value"); };
        for (size_t k = 0; k < aEpochs.size() + (bRates ? 1 : 0); ++k)
            value(k);
        double dValue = 0.0, dRate = 0.0;
        const double dBelow = value(place.nBelow);
        if (place.bAfter)
        {
            dRate = bRates ? value(aEpochs.size()) : 0.0;
            dValue = dBelow + dRate * place.dSpan;
        }
        else
        {
            const double dAbove = value(place.nBelow + 1);
            dRate = (dAbove - dBelow) / (aEpochs[place.nBelow + 1] - aEpochs[place.nBelow]);
            dValue = dBelow + (dAbove - dBelow) * place.dWeight;
        }
        terms.Add(l, m, dValue, lines.GetLineNumber());
        rates.Add(l, m, dRate, lines.GetLineNumber());
    }
    if (aEpochs.empty())
        ThrowCoefficientError(strPath, 0, "no line of epochs (g/h n m ...) heads the table");
    file.aTerms = terms.TakeTerms();
    file.rates = rates.TakeTerms();
    if (place.dSpan > kRateYears)
        file.aWarnings.push_back("the epoch " + YearText(dYear) + " is " + YearText(place.dSpan) +
                                 " years after the table's last, beyond the " + YearText(kRateYears) +
                                 " years of its secular variation");
    file.header.strModelName = "IGRF";
    file.normalization = Normalization::kSchmidt;
    file.bNormalizationFromFile = true;
    file.header.dRadius = kGeomagneticReferenceRadius;
    file.bTimeVariable = true;
    return file;
}
