#include "sht/field_extremes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "sht/angles.h"
#include "sht/field_synthesis.h"

namespace {

// The peaks searched from, of each sign: the samples' highest two local maxima, for lobes of
// nearly equal height.
constexpr size_t kStarts = 2;
// Newton steps on a stencil of six points, each a quarter the size of the one before, from the
// grid's spacing; with the value at the last centre, the peak of a field sampled as maps sample
// it (20 rows and 40 columns a period) is good to about 1e-9 of its size, below the digits a bar
// prints. Each step costs a few evaluations of the whole field, as much as sampling ten rows.
constexpr int kSteps = 2;
constexpr int kStencil[6][2] = {{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}};

using Vector = std::array<double, 3>;
using Angles = std::array<double, 2>;  // theta, phi

Vector Direction(double dTheta, double dPhi)
{
    return {std::sin(dTheta) * std::cos(dPhi), std::sin(dTheta) * std::sin(dPhi), std::cos(dTheta)};
}

Angles AnglesOf(const Vector& v)
{
    return {std::acos(std::clamp(v[2], -1.0, 1.0)), std::atan2(v[1], v[0])};
}

// The direction d1 along the meridian and d2 along the parallel from centre, in the tangent plane
// and back onto the sphere; so the poles are no special case.
Vector Offset(const Vector& centre, double d1, double d2)
{
    const auto [dTheta, dPhi] = AnglesOf(centre);
    const Vector e1 = {std::cos(dTheta) * std::cos(dPhi), std::cos(dTheta) * std::sin(dPhi),
                       -std::sin(dTheta)};
    const Vector e2 = {-std::sin(dPhi), std::cos(dPhi), 0.0};
    Vector p;
    for (size_t c = 0; c < 3; ++c)
        p[c] = centre[c] + d1 * e1[c] + d2 * e2[c];
    const double dLength = std::hypot(p[0], p[1], p[2]);
    for (double& c : p)
        c /= dLength;
    return p;
}

// A search for the highest value of dSign f (or of |f|) round a centre, with a stencil of dStep.
struct Search
{
    double dSign;
    Vector centre;
    double dStep;
    double dBest;  // the highest value found yet
};

// f (or |f|) at each point.
std::vector<double> Values(const Field& re, const Field* pIm, const std::vector<Angles>& aPoints)
{
    std::vector<double> adValue = EvaluateField(re, aPoints);
    if (pIm != nullptr)
    {
        const std::vector<double> adIm = EvaluateField(*pIm, aPoints);
        for (size_t k = 0; k < adValue.size(); ++k)
            adValue[k] = std::hypot(adValue[k], adIm[k]);
    }
    return adValue;
}

// Searches from the samples' highest local maxima of dSign * value.
void AddStarts(const DoubleArray& aRe, const DoubleArray& aIm, int32_t nRows, int32_t nColumns, double dSign,
               std::vector<Search>& aSearches)
{
    const bool bComplex = aIm.GetSize() > 0;
    const auto value = [&](int64_t i, int64_t j) {
        const auto k = static_cast<int32_t>(i * nColumns + (j + nColumns) % nColumns);
        return dSign * (bComplex ? std::hypot(aRe[k], aIm[k]) : aRe[k]);
    };
    std::vector<std::pair<double, int64_t>> aMaxima;
    for (int64_t i = 0; i < nRows; ++i)
        for (int64_t j = 0; j < nColumns; ++j)
        {
            const double d = value(i, j);
            if (d >= value(i, j - 1) && d >= value(i, j + 1) && (i == 0 || d >= value(i - 1, j)) &&
                (i + 1 == nRows || d >= value(i + 1, j)))
                aMaxima.emplace_back(d, i * nColumns + j);
        }
    const size_t nStarts = std::min(kStarts, aMaxima.size());
    std::partial_sort(aMaxima.begin(), aMaxima.begin() + static_cast<ptrdiff_t>(nStarts), aMaxima.end(),
                      std::greater<>());
    const double dRowStep = kPi / std::max(nRows - 1, 1);
    for (size_t n = 0; n < nStarts; ++n)
    {
        const int64_t k = aMaxima[n].second;
        const int64_t nRow = k / nColumns;
        const Vector start = Direction(static_cast<double>(nRow) * dRowStep,
                                       static_cast<double>(k % nColumns) * kTwoPi / nColumns);
        aSearches.push_back(Search{dSign, start, dRowStep, aMaxima[n].first});
    }
}

// Moves the search to the peak of the quadratic through its stencil's values f(a, b), where that
// peak lies within the stencil, else to the stencil's best point; the next stencil is smaller.
void MoveToPeak(Search& search, const double* adValue)
{
    double d1 = 0.0, d2 = 0.0;
    for (size_t k = 0; k < 6; ++k)
        if (adValue[k] > search.dBest)
        {
            search.dBest = adValue[k];
            d1 = kStencil[k][0];
            d2 = kStencil[k][1];
        }
    // Gradient and Hessian in stencil units; the Newton step d solves H d = -g.
    const double f00 = adValue[0], f10 = adValue[1], fm10 = adValue[2], f01 = adValue[3], f0m1 = adValue[4];
    const double g1 = (f10 - fm10) / 2.0, g2 = (f01 - f0m1) / 2.0;
    const double h11 = f10 - 2.0 * f00 + fm10, h22 = f01 - 2.0 * f00 + f0m1;
    const double h12 = adValue[5] - f10 - f01 + f00;
    const double dDeterminant = h11 * h22 - h12 * h12;
    double n1 = 0.0, n2 = 0.0;
    if (h11 < 0.0 && dDeterminant > 0.0)
    {
        n1 = (h12 * g2 - h22 * g1) / dDeterminant;
        n2 = (h12 * g1 - h11 * g2) / dDeterminant;
    }
    else
    {
        // A ridge (|f| of a complex harmonic is the same all round a parallel): along each
        // direction that curves down on its own.
        n1 = h11 < 0.0 ? -g1 / h11 : 0.0;
        n2 = h22 < 0.0 ? -g2 / h22 : 0.0;
    }
    if ((n1 != 0.0 || n2 != 0.0) && std::fabs(n1) <= 1.0 && std::fabs(n2) <= 1.0)
    {
        d1 = n1;
        d2 = n2;
    }
    search.centre = Offset(search.centre, search.dStep * d1, search.dStep * d2);
    search.dStep /= 4.0;
}

}  // namespace

FieldExtremes SampledExtremes(const DoubleArray& aRe, const DoubleArray& aIm)
{
    const bool bComplex = aIm.GetSize() > 0;
    FieldExtremes extremes;
    for (int32_t k = 0; k < aRe.GetSize(); ++k)
    {
        const double d = bComplex ? std::hypot(aRe[k], aIm[k]) : aRe[k];
        extremes.dLowest = k == 0 ? d : std::min(extremes.dLowest, d);
        extremes.dHighest = k == 0 ? d : std::max(extremes.dHighest, d);
    }
    return extremes;
}

FieldExtremes FindFieldExtremes(const Field& re, const Field* pIm, const DoubleArray& aRe,
                                const DoubleArray& aIm, int32_t nRows, int32_t nColumns)
{
    FieldExtremes extremes = SampledExtremes(aRe, aIm);
    if (nRows <= 0 || nColumns <= 0 || static_cast<int64_t>(nRows) * nColumns != aRe.GetSize())
        return extremes;
    // The side of the larger |f| sets the map's scale: it is searched, and the other where it
    // comes within 1 % of it (a field of lobes of both signs alike).
    std::vector<Search> aSearches;
    if (pIm != nullptr || extremes.dHighest >= -0.99 * extremes.dLowest)
        AddStarts(aRe, aIm, nRows, nColumns, 1.0, aSearches);
    if (pIm == nullptr && -extremes.dLowest >= 0.99 * extremes.dHighest)
        AddStarts(aRe, aIm, nRows, nColumns, -1.0, aSearches);

    // Every search's stencil is evaluated in one call, which prepares the field once; the last
    // call takes the last centres alone.
    for (int nStep = 0; nStep <= kSteps; ++nStep)
    {
        const size_t nPoints = nStep < kSteps ? 6 : 1;
        std::vector<Angles> aPoints;
        for (const Search& search : aSearches)
            for (size_t k = 0; k < nPoints; ++k)
                aPoints.push_back(AnglesOf(
                    Offset(search.centre, search.dStep * kStencil[k][0], search.dStep * kStencil[k][1])));
        std::vector<double> adValue = Values(re, pIm, aPoints);
        for (size_t n = 0; n < aSearches.size(); ++n)
        {
            double* pValues = adValue.data() + nPoints * n;
            for (size_t k = 0; k < nPoints; ++k)
                pValues[k] *= aSearches[n].dSign;
            if (nStep < kSteps)
                MoveToPeak(aSearches[n], pValues);
            else
                aSearches[n].dBest = std::max(aSearches[n].dBest, pValues[0]);
        }
    }
    for (const Search& search : aSearches)
    {
        if (search.dSign > 0.0)
            extremes.dHighest = std::max(extremes.dHighest, search.dBest);
        else
            extremes.dLowest = std::min(extremes.dLowest, -search.dBest);
    }
    return extremes;
}
