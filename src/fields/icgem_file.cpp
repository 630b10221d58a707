// ICGEM gravity field files: a header that ends at `end_of_head` (free text before an optional
// `begin_of_head`, then key lines), then one coefficient a line, each line led by its key.
// `gfc` is a static coefficient; `gfct`, `trnd` (or `dot`), `acos` and `asin` are the
// time-variable part (fields/time_variable_terms.h), whose lines end with their times: in
// ICGEM 1.0 t0 on `gfct` and the period on `acos` and `asin`, in ICGEM 2.0 (the header's
// `format icgem2.0`) t0 and t1 on every one, then the period. At an epoch the field is the model
// at that time; without one it is the static part, and the terms left out are counted in a
// warning.
#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "fields/coefficient_file.h"
#include "fields/coefficient_formats.h"
#include "fields/coefficient_input.h"
#include "fields/coefficient_terms.h"
#include "fields/coefficient_text.h"
#include "fields/model_time.h"
#include "fields/time_variable_terms.h"

namespace {

struct DataKey
{
    const char* pszKey;
    bool bStatic;
    TimeTermKind kind;
    // The numbers that end the line, after any error columns, in ICGEM 1.0 and 2.0: t0, t1 and
    // the period, as far as the key has them.
    size_t nTimes10;
    size_t nTimes20;
};

constexpr std::array<DataKey, 6> kDataKeys = {{
    {"gfc", true, TimeTermKind::kOffset, 0, 0},
    {"gfct", false, TimeTermKind::kOffset, 1, 2},
    {"trnd", false, TimeTermKind::kTrend, 0, 2},
    {"dot", false, TimeTermKind::kTrend, 0, 2},
    {"acos", false, TimeTermKind::kCosine, 1, 3},
    {"asin", false, TimeTermKind::kSine, 1, 3},
}};

// What a line of the key needs, for its error: "degree, order, C, S, t0 and t1".
std::string Needs(const DataKey& key, bool bIcgem20)
{
    std::vector<std::string> aNames = {"degree", "order", "C", "S"};
    if (!key.bStatic && bIcgem20)
        aNames.insert(aNames.end(), {"t0", "t1"});
    if (key.kind == TimeTermKind::kOffset && !key.bStatic && !bIcgem20)
        aNames.emplace_back("t0");
    if (key.kind == TimeTermKind::kCosine || key.kind == TimeTermKind::kSine)
        aNames.emplace_back("the period");
    std::string strNeeds;
    for (size_t i = 0; i < aNames.size(); ++i)
        strNeeds += (i == 0 ? "" : i + 1 == aNames.size() ? " and " : ", ") + aNames[i];
    return strNeeds;
}

// A header key's value and its line. Only the lines after `begin_of_head` are keys when it
// appears, so values are read when the header ends.
struct HeaderValue
{
    std::string strValue;
    int64_t nLine = 0;
};

struct Header
{
    HeaderValue norm, maxDegree, format, modelName, productType, tideSystem, gravityConstant, radius;
};

// A positive number of the header (Fortran's D exponent too), or NaN when the key is missing.
double PositiveValue(const std::string& strPath, const HeaderValue& value, const char* pszKey)
{
    if (value.nLine == 0)
        return std::numeric_limits<double>::quiet_NaN();
    std::string strFault;
    const std::optional<double> dValue = ParseNumberField(value.strValue, strFault);
    if (!dValue || *dValue <= 0.0)
        ThrowCoefficientError(
            strPath, value.nLine,
            "'" + std::string(pszKey) + "' is " + QuoteFileText(value.strValue) + ", not a positive number");
    return *dValue;
}

// t0 or t1 of the line's field i.
double TimeField(const CTextLines& lines, size_t i, const char* pszName)
{
    const std::string_view strField = lines.GetFields()[i];
    const std::optional<double> dTime = ParseIcgemTime(strField);
    if (!dTime)
        lines.Fail(std::string(pszName) + " is " + QuoteFileText(strField) + ", not a time yyyymmdd.hhmm");
    return *dTime;
}

// The time-variable line of the key, its times read from the end of the line.
TimeVariableLine ReadTimeLine(const CTextLines& lines, const DataKey& key, const CosineSineRow& row,
                              bool bIcgem20)
{
    const size_t nFields = lines.GetFields().size();
    TimeVariableLine line{key.kind, row, 0.0, 0.0, 0.0, lines.GetLineNumber()};
    const size_t nTimes = bIcgem20 ? key.nTimes20 : key.nTimes10;
    if (bIcgem20)
    {
        line.dT0 = TimeField(lines, nFields - nTimes, "t0");
        line.dT1 = TimeField(lines, nFields - nTimes + 1, "t1");
        if (line.dT1 <= line.dT0)
            lines.Fail("the interval ends at t1 before it begins at t0");
    }
    else if (key.kind == TimeTermKind::kOffset)
        line.dT0 = TimeField(lines, nFields - 1, "t0");
    if (key.kind == TimeTermKind::kCosine || key.kind == TimeTermKind::kSine)
    {
        line.dPeriod = lines.Number(nFields - 1, "the period");
        if (line.dPeriod <= 0.0)
            lines.Fail("the period is " + QuoteFileText(lines.GetFields()[nFields - 1]) +
                       ", not a positive number of years");
    }
    return line;
}

}  // namespace

CoefficientFile ReadIcgemFile(const std::string& strPath, int32_t nMaxDegree,
                              const std::optional<double>& epoch)
{
    CTextLines lines(strPath);
    Header header;
    bool bHeader = true;
    while (bHeader && lines.Next())
    {
        const std::vector<std::string_view>& aFields = lines.GetFields();
        if (aFields.empty())
            continue;
        const HeaderValue value{aFields.size() > 1 ? std::string(aFields[1]) : std::string(),
                                lines.GetLineNumber()};
        if (EqualsIgnoringCase(aFields[0], "begin_of_head"))
            header = Header();
        else if (EqualsIgnoringCase(aFields[0], "norm"))
            header.norm = value;
        else if (EqualsIgnoringCase(aFields[0], "max_degree"))
            header.maxDegree = value;
        else if (EqualsIgnoringCase(aFields[0], "format"))
            header.format = value;
        else if (EqualsIgnoringCase(aFields[0], "modelname"))
            header.modelName = value;
        else if (EqualsIgnoringCase(aFields[0], "product_type"))
            header.productType = value;
        else if (EqualsIgnoringCase(aFields[0], "tide_system"))
            header.tideSystem = value;
        else if (EqualsIgnoringCase(aFields[0], "earth_gravity_constant"))
            header.gravityConstant = value;
        else if (EqualsIgnoringCase(aFields[0], "radius"))
            header.radius = value;
        else if (EqualsIgnoringCase(aFields[0], "end_of_head"))
            bHeader = false;
    }
    if (bHeader)
        ThrowCoefficientError(strPath, 0, "no 'end_of_head' line ends the header");

    CoefficientFile file;
    if (header.norm.nLine > 0)
    {
        if (EqualsIgnoringCase(header.norm.strValue, "fully_normalized"))
            file.normalization = Normalization::k4Pi;
        else if (EqualsIgnoringCase(header.norm.strValue, "unnormalized"))
            file.normalization = Normalization::kUnnormalized;
        else
            ThrowCoefficientError(strPath, header.norm.nLine,
                                  "'norm' is " + QuoteFileText(header.norm.strValue) +
                                      ", neither fully_normalized nor unnormalized");
        file.bNormalizationFromFile = true;
    }
    file.header.strModelName = header.modelName.strValue;
    file.header.strProductType = header.productType.strValue;
    file.header.strTideSystem = header.tideSystem.strValue;
    int64_t nHeaderMax = -1;
    if (header.maxDegree.nLine > 0)
    {
        const std::optional<int64_t> nValue = ParseWholeNumber(header.maxDegree.strValue);
        if (!nValue || *nValue < 0)
            ThrowCoefficientError(
                strPath, header.maxDegree.nLine,
                "'max_degree' is " + QuoteFileText(header.maxDegree.strValue) + ", not a degree");
        nHeaderMax = *nValue;
    }
    const bool bIcgem20 = header.format.nLine > 0 && EqualsIgnoringCase(header.format.strValue, "icgem2.0");
    if (header.format.nLine > 0 && !bIcgem20 && !EqualsIgnoringCase(header.format.strValue, "icgem1.0"))
        ThrowCoefficientError(
            strPath, header.format.nLine,
            "'format' is " + QuoteFileText(header.format.strValue) + ", neither icgem1.0 nor icgem2.0");
    file.header.dGm = PositiveValue(strPath, header.gravityConstant, "earth_gravity_constant");
    file.header.dRadius = PositiveValue(strPath, header.radius, "radius");

    CCoefficientTerms terms(strPath, nMaxDegree);
    CTimeVariableTerms timeTerms(strPath, bIcgem20);
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
        if (aFields.size() - 1 < 4 + (bIcgem20 ? pKey->nTimes20 : pKey->nTimes10))
            lines.Fail("'" + std::string(pKey->pszKey) + "' needs " + Needs(*pKey, bIcgem20) + ", found " +
                       std::to_string(aFields.size() - 1) + " numbers");
        const CosineSineRow row = ReadCosineSineRow(lines, 1);
        if (nHeaderMax >= 0 && row.l > nHeaderMax)
            lines.Fail("degree " + std::to_string(row.l) + " is above the header's max_degree " +
                       std::to_string(nHeaderMax));
        nHighest = std::max(nHighest, row.l);
        if (pKey->bStatic)
            terms.AddCosineSine(row, lines.GetLineNumber());
        else if (terms.Keeps(row.l, row.m, lines.GetLineNumber()))
        {
            timeTerms.Add(ReadTimeLine(lines, *pKey, row, bIcgem20));
            if (pKey->kind != TimeTermKind::kOffset && (row.c != 0.0 || (row.m > 0 && row.s != 0.0)))
                ++aLeftOut[static_cast<size_t>(pKey - kDataKeys.begin())];
        }
    }
    if (nHighest < 0)
        ThrowCoefficientError(strPath, 0, "no coefficient lines follow 'end_of_head'");
    file.bTimeVariable = !timeTerms.IsEmpty();
    if (epoch)
        timeTerms.AddAtEpoch(*epoch, terms);
    else
        aLeftOut[1] = timeTerms.AddStaticPart(terms);  // the count of kDataKeys[1], gfct
    file.aTerms = terms.TakeTerms();

    std::string strLeftOut;
    for (size_t i = 0; i < kDataKeys.size(); ++i)
        if (aLeftOut[i] > 0 && !epoch)
            strLeftOut += (strLeftOut.empty() ? "" : ", ") + std::to_string(aLeftOut[i]) + " '" +
                          kDataKeys[i].pszKey + "'";
    if (!strLeftOut.empty())
        file.aWarnings.push_back(
            "time-variable terms left out (" + strLeftOut + "): the field is the static part, " +
            (bIcgem20 ? "'gfc' and each coefficient's earliest 'gfct'" : "'gfc' and 'gfct'") + " as written");
    if (nHighest < nHeaderMax)
        file.aWarnings.push_back("the coefficients end at degree " + std::to_string(nHighest) +
                                 ", below the header's max_degree " + std::to_string(nHeaderMax) +
                                 ": the file may be cut short");
    return file;
}
