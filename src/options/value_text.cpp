#include "options/value_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "colour/color_maps.h"
#include "export/mesh_export.h"
#include "export/values_writer.h"
#include "fields/model_time.h"
#include "names/named_values.h"
#include "options/request_error.h"
#include "render/offscreen_context.h"
#include "sht/angles.h"
#include "sht/rotation_text.h"
#include "text/picture_text.h"

namespace {

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

}  // namespace

int32_t ParseInt32(const std::string& strName, const std::string& strText, long long nMin, long long nMax)
{
    long long n = 0;
    if (!ParseInteger(strText, nMin, nMax, n))
        throw RequestError(strName + " needs an integer from " + std::to_string(nMin) + " to " +
                           std::to_string(nMax) + ", not '" + strText + "'");
    return static_cast<int32_t>(n);
}

std::vector<double> ParseNumbers(const std::string& strName, const std::string& strText, size_t nCount,
                                 const std::string& strForm)
{
    static const char* const kCounts[] = {"", "one finite number ", "two finite numbers ",
                                          "three finite numbers "};
    const std::string strCount = nCount == 0  ? "finite numbers "
                                 : nCount < 4 ? kCounts[nCount]
                                              : std::to_string(nCount) + " finite numbers ";
    const std::string strError = strName + " needs " + strCount + strForm + ", not '" + strText + "'";
    std::vector<double> aValues;
    const char* p = strText.data();
    const char* pEnd = p + strText.size();
    while (true)
    {
        if (p != pEnd && *p == '+' && p + 1 != pEnd && p[1] != '-')
            ++p;
        double d = 0.0;
        const auto result = std::from_chars(p, pEnd, d);
        if (result.ec != std::errc() || !std::isfinite(d) || (result.ptr != pEnd && *result.ptr != ','))
            throw RequestError(strError);
        aValues.push_back(d);
        if (result.ptr == pEnd)
            break;
        p = result.ptr + 1;
    }
    if (nCount != 0 && aValues.size() != nCount)
        throw RequestError(strError);
    return aValues;
}

std::array<double, 3> ParsePoint(const std::string& strName, const std::string& strText)
{
    const std::vector<double> aValues = ParseNumbers(strName, strText, 3, "X,Y,Z");
    return {aValues[0], aValues[1], aValues[2]};
}

std::array<int, 2> ParseSize(const std::string& strName, const std::string& strText, int nMaxSide)
{
    const size_t nX = strText.find('x');
    long long w = 0, h = 0;
    if (nX == std::string::npos || !ParseInteger(strText.substr(0, nX), 1, nMaxSide, w) ||
        !ParseInteger(strText.substr(nX + 1), 1, nMaxSide, h))
        throw RequestError(strName + " needs WIDTHxHEIGHT, each from 1 to " + std::to_string(nMaxSide) +
                           ", not '" + strText + "'");
    return {static_cast<int>(w), static_cast<int>(h)};
}

std::string NonEmptyPath(const std::string& strName, const std::string& strText)
{
    if (strText.empty())
        throw RequestError(strName + " needs a file name");
    return strText;
}

Term ParseTerm(const std::string& strName, const std::string& strText)
{
    const std::vector<double> aValues = ParseNumbers(strName, strText, 3, "L,M,C");
    for (int i = 0; i < 2; ++i)
        if (aValues[i] != std::floor(aValues[i]) || std::fabs(aValues[i]) > INT32_MAX)
            throw RequestError(strName + " needs integers L and M in L,M,C, not '" + strText + "'");
    return Term{static_cast<int32_t>(aValues[0]), static_cast<int32_t>(aValues[1]), aValues[2]};
}

std::array<double, 2> ParseRange(const std::string& strName, const std::string& strText)
{
    const std::vector<double> a = ParseNumbers(strName, strText, 2, "LO,HI");
    if (!(a[0] < a[1]))
        throw RequestError(strName + " needs LO below HI, not '" + strText + "'");
    return {a[0], a[1]};
}

std::array<double, 2> ParseAngles(const std::string& strName, const std::string& strText)
{
    const std::vector<double> a = ParseNumbers(strName, strText, 2, "THETA,PHI");
    if (a[0] < 0.0 || a[0] > kPi)
        throw RequestError(strName + " needs THETA from 0 to pi, in radians, not '" + strText + "'");
    return {a[0], a[1]};
}

Rotation ParseTurn(const std::string& strName, const std::string& strText)
{
    try
    {
        return ParseRotation(strText);
    }
    catch (const std::invalid_argument& error)
    {
        throw RequestError(strName + ": " + error.what());
    }
}

std::string GridChoiceName(const GridChoice& choice)
{
    return choice.bPoints ? "points" : choice.bHealpix ? kHealpixGridName : SampleGridName(choice.grid);
}

GridChoice ParseGrid(const std::string& strName, const std::string& strText)
{
    GridChoice choice;
    if (strText.rfind("degrees:", 0) == 0)
    {
        choice.degrees = ParseDegreeGrid(strName, strText);
        return choice;
    }
    if (strText == "points")
    {
        choice.bPoints = true;
        return choice;
    }
    if (strText == kHealpixGridName)
    {
        choice.bHealpix = true;
        return choice;
    }
    if (!FindSampleGrid(strText, choice.grid))
    {
        std::vector<std::string> aNames = SampleGridNames();
        aNames.emplace_back("points");
        aNames.emplace_back(kHealpixGridName);
        aNames.emplace_back("degrees:S,N,W,E,STEP");
        throw RequestError(strName + " needs " + OneOf(aNames) + ", not '" + strText + "'");
    }
    return choice;
}

double ParsePositive(const std::string& strName, const std::string& strText)
{
    const std::string strError =
        strName + " needs one number above 0 and at most 1e30, not '" + strText + "'";
    double d = 0.0;
    try
    {
        d = ParseNumbers(strName, strText, 1, "")[0];
    }
    catch (const RequestError&)
    {
        throw RequestError(strError);
    }
    if (!(d > 0.0 && d <= kMaxOffset))
        throw RequestError(strError);
    return d;
}

RadiusRule ParseRadius(const std::string& strName, const std::string& strText)
{
    if (const std::optional<RadiusRule> rule = RadiusRuleNamed(strText))
        return *rule;
    if (strText.rfind("offset:", 0) == 0)
        ParsePositive(strName + " offset:R", strText.substr(7));  // throws what is wrong with R
    throw RequestError(strName + " needs abs, square, one, offset or offset:R, not '" + strText + "'");
}

std::string OneLine(const std::string& strText)
{
    std::string strLine;
    for (size_t i = 0; i < strText.size(); ++i)
    {
        const auto c = static_cast<unsigned char>(strText[i]);
        // C1 controls arrive in UTF-8 as 0xC2 0x80 to 0xC2 0x9F.
        const bool bC1 = c == 0xC2 && i + 1 < strText.size() &&
                         (static_cast<unsigned char>(strText[i + 1]) & 0xE0) == 0x80;
        // The bidirectional controls, which would reorder the rest of the line on a terminal
        // that honours them: U+061C (0xD8 0x9C), U+200E, U+200F, U+202A to U+202E and U+2066 to
        // U+2069 (0xE2 0x80 0x8E, 0x8F, 0xAA to 0xAE; 0xE2 0x81 0xA6 to 0xA9), shown as \u escapes.
        const auto at = [&](size_t k) {
            return k < strText.size() ? static_cast<unsigned char>(strText[k]) : 0u;
        };
        unsigned nBidi = 0;
        if (c == 0xD8 && at(i + 1) == 0x9C)
            nBidi = 0x061C;
        else if (c == 0xE2 && at(i + 1) == 0x80 &&
                 (at(i + 2) == 0x8E || at(i + 2) == 0x8F || (at(i + 2) >= 0xAA && at(i + 2) <= 0xAE)))
            nBidi = 0x2000 + (at(i + 2) - 0x80);
        else if (c == 0xE2 && at(i + 1) == 0x81 && at(i + 2) >= 0xA6 && at(i + 2) <= 0xA9)
            nBidi = 0x2040 + (at(i + 2) - 0x80);
        if (nBidi != 0)
        {
            char acEscape[8];
            std::snprintf(acEscape, sizeof acEscape, "\\u%04X", nBidi);
            strLine += acEscape;
            i += nBidi == 0x061C ? 1 : 2;
        }
        else if (c == '\n')
            strLine += "\\n";
        else if (c == '\t')
            strLine += "\\t";
        else if (c < 0x20 || c == 0x7F || bC1)
        {
            const unsigned nCode = bC1 ? static_cast<unsigned char>(strText[++i]) : c;
            char acEscape[8];
            std::snprintf(acEscape, sizeof acEscape, "\\x%02X", nCode);
            strLine += acEscape;
        }
        else
            strLine += static_cast<char>(c);
    }
    return strLine;
}

std::string RadiusRuleText(const RadiusRule& rule)
{
    switch (rule.kind)
    {
        case RadiusKind::kSquare:
            return "square";
        case RadiusKind::kOne:
            return "one";
        case RadiusKind::kOffset:
            return "offset:" + ShortDecimalText(rule.dOffset);
        case RadiusKind::kAbs:
            break;
    }
    return "abs";
}

double ParseEpochText(const std::string& strName, const std::string& strText)
{
    const std::optional<double> epoch = ParseEpoch(strText);
    if (!epoch)
        throw RequestError(strName +
                           " needs a date YYYY-MM-DD or a decimal year of the years 1 to 9999, not '" +
                           strText + "'");
    return *epoch;
}

const ReferenceEllipsoid* ParseEllipsoid(const std::string& strName, const std::string& strText)
{
    if (strText == "none")
        return nullptr;
    const ReferenceEllipsoid* pEllipsoid = FindReferenceEllipsoid(strText);
    if (!pEllipsoid)
        throw RequestError(strName + " needs GRS80, WGS84 or none, not '" + strText + "'");
    return pEllipsoid;
}

const QuantityInfo* ParseQuantity(const std::string& strName, const std::string& strText)
{
    const QuantityInfo* pQuantity = FindQuantity(strText);
    if (!pQuantity)
        throw RequestError(strName + " needs one of " + QuantityNames() + ", not '" + strText + "'");
    return pQuantity;
}

std::string ParseMeshPath(const std::string& strName, const std::string& strText)
{
    std::string strPath = NonEmptyPath(strName, strText);
    if (!IsMeshPath(strPath))
        throw RequestError(strName + " needs a file name ending in " + MeshExtensions() + ", not '" +
                           strText + "'");
    return strPath;
}

std::string ParseColorMap(const std::string& strName, const std::string& strText)
{
    if (FindColorMap(strText) == nullptr)
        throw RequestError(strName + " needs " + ColorMapNames() + ", not '" + strText + "'");
    return strText;
}

std::string ParseTitle(const std::string& strName, const std::string& strText)
{
    if (!IsDrawableText(strText, false))
        throw RequestError(strName + " needs text in UTF-8");
    return strText;
}

std::optional<int32_t> ParseTableExtent(const std::string& strName, const std::string& strText)
{
    if (strText.empty())
        return std::nullopt;
    return ParseInt32(strName, strText, 0, (kMaxPictureSide - 1) / 2);
}

GeodeticPlace ParseGeodeticPlace(const std::string& strName, const std::string& strText)
{
    const std::vector<double> aNumbers = ParseNumbers(strName, strText, 3, "LAT,LON,H");
    const GeodeticPlace place{aNumbers[0], aNumbers[1], aNumbers[2]};
    const std::string strError = GeodeticPlaceError(place);
    if (!strError.empty())
        throw RequestError(strName + " '" + OneLine(strText) + "': " + strError);
    return place;
}

DegreeGrid ParseDegreeGrid(const std::string& strName, const std::string& strText)
{
    const std::string strPrefix = "degrees:";
    if (strText.compare(0, strPrefix.size(), strPrefix) != 0)
        throw RequestError(strName + " of geodetic degrees is degrees:S,N,W,E,STEP, not '" +
                           OneLine(strText) + "'");
    const std::vector<double> aNumbers =
        ParseNumbers(strName, strText.substr(strPrefix.size()), 5, "degrees:S,N,W,E,STEP");
    const DegreeGrid grid{aNumbers[0], aNumbers[1], aNumbers[2], aNumbers[3], aNumbers[4]};
    const std::string strError = DegreeGridError(grid);
    if (!strError.empty())
        throw RequestError(strName + " '" + OneLine(strText) + "': " + strError);
    return grid;
}

std::vector<double> ParseAtPoint(const std::string& strName, const std::string& strText)
{
    std::vector<double> a = ParseNumbers(strName, strText, 0, "THETA,PHI or X,Y,Z");
    if (a.size() == 3)
        return a;
    const std::array<double, 2> angles = ParseAngles(strName, strText);
    return {angles[0], angles[1]};
}

std::string ParseCubePath(const std::string& strName, const std::string& strText)
{
    std::string strPath = NonEmptyPath(strName, strText);
    if (strPath.size() < 5 || strPath.compare(strPath.size() - 5, 5, ".cube") != 0)
        throw RequestError(strName + " needs a file name ending in .cube, not '" + strText + "'");
    return strPath;
}
