// ICGEM gravity field files: a header that ends at `end_of_head` (free text before an optional
// `begin_of_head`, then key lines), then one coefficient a line, each line led by its key.
// The field read is the static part, `gfc` and `gfct` as written: `gfct` is the mean field at
// its epoch t0, to which `trnd` (or `dot`) adds a trend and `acos` and `asin` periodic terms.
// Those are counted and left out with one warning.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "fields/coefficient_file.h"
#include "fields/coefficient_formats.h"
#include "fields/coefficient_terms.h"
#include "fields/coefficient_text.h"

namespace {

struct DataKey
{
    const char* pszKey;
    size_t nNumbers;  // the numbers it needs after the key; more are errors, epochs, periods
    const char* pszNeeds;
    bool bStatic;
};

constexpr std::array<DataKey, 6> kDataKeys = {{
    {"gfc", 4, "degree, order, C and S", true},
    {"gfct", 5, "degree, order, C, S and t0", true},
    {"trnd", 4, "degree, order, C and S", false},
    {"dot", 4, "degree, order, C and S", false},
    {"acos", 5, "degree, order, C, S and the period", false},
    {"asin", 5, "degree, order, C, S and the period", false},
}};

// A header key's value and its line. Only the lines after `begin_of_head` are keys when it
// appears, so values are read when the header ends.
struct HeaderValue
{
    std::string strValue;
    int64_t nLine = 0;
};

// A header's number, Fortran's D exponent too; NaN when it is none (the constants only pass
// through to a file written from this one, so a malformed one is left unknown, not refused).
double HeaderNumber(std::string strValue)
{
    std::replace_if(
        strValue.begin(), strValue.end(), [](char c) { return c == 'D' || c == 'd'; }, 'e');
    double dValue = 0.0;
    const char* const pEnd = strValue.data() + strValue.size();
    const auto [pStop, error] = std::from_chars(strValue.data(), pEnd, dValue);
    if (strValue.empty() || error != std::errc() || pStop != pEnd || !std::isfinite(dValue))
        return std::numeric_limits<double>::quiet_NaN();
    return dValue;
}

}  // namespace

CoefficientFile ReadIcgemFile(const std::string& strPath, int32_t nMaxDegree)
{
    CTextLines lines(strPath);
    HeaderValue norm, maxDegree, modelName, productType, tideSystem, gm, radius;
    const std::array<std::pair<const char*, HeaderValue*>, 7> aHeaderKeys = {{
        {"norm", &norm},
        {"max_degree", &maxDegree},
        {"modelname", &modelName},
        {"product_type", &productType},
        {"tide_system", &tideSystem},
        {"earth_gravity_constant", &gm},
        {"radius", &radius},
    }};
    bool bHeader = true;
    while (bHeader && lines.Next())
    {
        const std::vector<std::string_view>& aFields = lines.GetFields();
        if (aFields.empty())
            continue;
        const std::string strValue = aFields.size() > 1 ? std::string(aFields[1]) : std::string();
        if (EqualsIgnoringCase(aFields[0], "begin_of_head"))
            for (const auto& key : aHeaderKeys)
                *key.second = HeaderValue();
        else if (EqualsIgnoringCase(aFields[0], "end_of_head"))
            bHeader = false;
        for (const auto& key : aHeaderKeys)
            if (EqualsIgnoringCase(aFields[0], key.first))
                *key.second = HeaderValue{strValue, lines.GetLineNumber()};
    }
    if (bHeader)
        ThrowCoefficientError(strPath, 0, "no 'end_of_head' line ends the header");

    CoefficientFile file;
    if (norm.nLine > 0)
    {
        if (EqualsIgnoringCase(norm.strValue, "fully_normalized"))
            file.normalization = Normalization::k4Pi;
        else if (EqualsIgnoringCase(norm.strValue, "unnormalized"))
            file.normalization = Normalization::kUnnormalized;
        else
            ThrowCoefficientError(
                strPath, norm.nLine,
                "'norm' is " + QuoteFileText(norm.strValue) + ", neither fully_normalized nor unnormalized");
        file.bNormalizationFromFile = true;
    }
    file.header.strModelName = modelName.strValue;
    file.header.strProductType = productType.strValue;
    file.header.strTideSystem = tideSystem.strValue;
    file.header.dGm = HeaderNumber(gm.strValue);
    file.header.dRadius = HeaderNumber(radius.strValue);
    int64_t nHeaderMax = -1;
    if (maxDegree.nLine > 0)
    {
        const std::optional<int64_t> nValue = ParseWholeNumber(maxDegree.strValue);
        if (!nValue || *nValue < 0)
            ThrowCoefficientError(strPath, maxDegree.nLine,
                                  "'max_degree' is " + QuoteFileText(maxDegree.strValue) + ", not a degree");
        nHeaderMax = *nValue;
    }

    CCoefficientTerms terms(strPath, nMaxDegree);
    std::array<int64_t, kDataKeys.size()> aLeftOut = {};
    int64_t nHighest = -1;
    while (lines.Next())
    {
        const std::vector<std::string_view>& aFields = lines.GetFields();
        if (aFields.empty())
            continue;
        const auto pKey = std::find_if(kDataKeys.begin(), kDataKeys.end(), [&](const DataKey& key) {
            return EqualsIgnoringCase(aFields[0], key.pszKey);
        });
        if (pKey == kDataKeys.end())
            lines.Fail("the key " + QuoteFileText(aFields[0]) +
                       " is none of gfc, gfct, trnd, dot, acos and asin");
        if (aFields.size() - 1 < pKey->nNumbers)
            lines.Fail("'" + std::string(pKey->pszKey) + "' needs " + pKey->pszNeeds + ", found " +
                       std::to_string(aFields.size() - 1) + " numbers");
        const CosineSineRow row = ReadCosineSineRow(lines, 1);
        if (nHeaderMax >= 0 && row.l > nHeaderMax)
            lines.Fail("degree " + std::to_string(row.l) + " is above the header's max_degree " +
                       std::to_string(nHeaderMax));
        nHighest = std::max(nHighest, row.l);
        if (pKey->bStatic)
            terms.AddCosineSine(row, lines.GetLineNumber());
        else if (terms.Keeps(row.l, row.m, lines.GetLineNumber()) &&
                 (row.c != 0.0 || (row.m > 0 && row.s != 0.0)))
            ++aLeftOut[static_cast<size_t>(pKey - kDataKeys.begin())];
    }
    if (nHighest < 0)
        ThrowCoefficientError(strPath, 0, "no coefficient lines follow 'end_of_head'");
    file.aTerms = terms.TakeTerms();

    std::string strLeftOut;
    for (size_t i = 0; i < kDataKeys.size(); ++i)
        if (aLeftOut[i] > 0)
            strLeftOut += (strLeftOut.empty() ? "" : ", ") + std::to_string(aLeftOut[i]) + " '" +
                          kDataKeys[i].pszKey + "'";
    if (!strLeftOut.empty())
        file.aWarnings.push_back("time-variable terms left out (" + strLeftOut +
                                 "): the field is the static part, 'gfc' and 'gfct' as written");
    if (nHighest < nHeaderMax)
        file.aWarnings.push_back("the coefficients end at degree " + std::to_string(nHighest) +
                                 ", below the header's max_degree " + std::to_string(nHeaderMax) +
                                 ": the file may be cut short");
    return file;
}
