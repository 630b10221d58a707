#include "hydrogen/boundary_level.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <utility>

namespace {

// 8-point Gauss-Legendre on [-1, 1]: the positive nodes and their weights.
constexpr double kGaussNode[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                                  0.9602898564975363};
constexpr double kGaussWeight[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                                    0.1012285362903763};

// The rule's nodes on [a, b], each with its weight: visit(x, w).
template <typename Visit>
void ForEachGaussNode(double a, double b, Visit visit)
{
    const double dMid = 0.5 * (a + b), dHalf = 0.5 * (b - a);
    for (int q = 0; q < 4; ++q)
    {
        visit(dMid - dHalf * kGaussNode[q], kGaussWeight[q] * dHalf);
        visit(dMid + dHalf * kGaussNode[q], kGaussWeight[q] * dHalf);
    }
}

// The angular probability above a level: H(s), the integral of Y^2 where |Y| > s, summed over
// the samples with their solid angles.
class CAngularMass
{
public:
    CAngularMass(const std::vector<double>& aAngular, int32_t nRows, int32_t nColumns)
    {
        const std::vector<double> aWeight = RowSolidAngles(nRows, nColumns);
        std::vector<std::pair<double, double>> aSamples(aAngular.size());
        for (size_t k = 0; k < aAngular.size(); ++k)
        {
            const double y = std::fabs(aAngular[k]);
            aSamples[k] = {y, aWeight[k / static_cast<size_t>(nColumns)] * y * y};
        }
        std::sort(aSamples.begin(), aSamples.end());
        m_aAbs.resize(aSamples.size());
        m_aAbove.resize(aSamples.size() + 1, 0.0);
        for (size_t k = aSamples.size(); k-- > 0;)
        {
            m_aAbs[k] = aSamples[k].first;
            m_aAbove[k] = m_aAbove[k + 1] + aSamples[k].second;
        }
    }

    // The mass above each of the ascending levels aLevel, added up with its weight aWeight.
    double WeightedAbove(const std::vector<double>& aLevel, const std::vector<double>& aWeight) const
    {
        double dSum = 0.0;
        size_t k = 0;
        for (size_t q = 0; q < aLevel.size(); ++q)
        {
            while (k < m_aAbs.size() && !(m_aAbs[k] > aLevel[q]))
                ++k;
            dSum += aWeight[q] * m_aAbove[k];
        }
        return dSum;
    }
    // The mass above one level.
    double Above(double dLevel) const
    {
        return m_aAbove[static_cast<size_t>(std::upper_bound(m_aAbs.begin(), m_aAbs.end(), dLevel) -
                                            m_aAbs.begin())];
    }
    double Max() const { return m_aAbs.empty() ? 0.0 : m_aAbs.back(); }

private:
    std::vector<double> m_aAbs;    // |Y| of every sample, ascending
    std::vector<double> m_aAbove;  // the mass of the samples from k on
};

// The radial quadrature takes at least this many nodes: each of the grid's radial intervals cut
// into as many pieces as that needs, 8 nodes to a piece.
constexpr int32_t kRadialNodes = 16384;

// The radial quadrature's nodes from 0 to dExtent where R is not 0: |R| and the node's weight
// times R^2 r^2.
std::vector<std::pair<double, double>> RadialNodes(const CRadialFunction& radial, double dExtent,
                                                   int32_t nRadii)
{
    const int32_t nPieces = (kRadialNodes / 8 + nRadii - 2) / (nRadii - 1);
    const int32_t nIntervals = (nRadii - 1) * nPieces;
    std::vector<std::pair<double, double>> aNodes;
    aNodes.reserve(8 * static_cast<size_t>(nIntervals));
    for (int32_t k = 0; k < nIntervals; ++k)
        ForEachGaussNode(dExtent * k / nIntervals, dExtent * (k + 1) / nIntervals,
                         [&aNodes, &radial](double r, double w) {
                             const double R = std::fabs(radial(r));
                             if (R > 0.0)
                                 aNodes.push_back({R, w * R * R * r * r});
                         });
    return aNodes;
}

// The probability where |psi| > c for one c: each node's weight times R^2 r^2 against the
// angular mass above c / |R|.
double EnclosedAt(const CRadialFunction& radial, const CAngularMass& mass, double dExtent, int32_t nRadii,
                  double c)
{
    double dSum = 0.0;
    for (const auto& node : RadialNodes(radial, dExtent, nRadii))
        dSum += node.second * mass.Above(c / node.first);
    return dSum;
}

// The probability where |psi| > c for the many c of a search: over the nodes by |R| descending,
// so that the levels c / |R| ascend and meet the angular samples in one pass.
class CEnclosedProbability
{
public:
    CEnclosedProbability(const CRadialFunction& radial, const CAngularMass& mass, double dExtent,
                         int32_t nRadii)
        : m_mass(mass)
    {
        std::vector<std::pair<double, double>> aNodes = RadialNodes(radial, dExtent, nRadii);
        std::sort(aNodes.begin(), aNodes.end(), std::greater<>());
        m_aInverse.reserve(aNodes.size());
        m_aWeight.reserve(aNodes.size());
        for (const auto& node : aNodes)
        {
            m_aInverse.push_back(1.0 / node.first);
            m_aWeight.push_back(node.second);
        }
        m_aLevel.resize(m_aInverse.size());
    }

    double operator()(double c) const
    {
        for (size_t q = 0; q < m_aInverse.size(); ++q)
            m_aLevel[q] = c * m_aInverse[q];
        return m_mass.WeightedAbove(m_aLevel, m_aWeight);
    }

private:
    const CAngularMass& m_mass;
    std::vector<double> m_aInverse;  // 1 / |R| of each node, ascending
    std::vector<double> m_aWeight;   // its weight times R^2 r^2
    mutable std::vector<double> m_aLevel;
};

// How far the probability a level of the grid encloses may stay from the one asked P: this, and
// at most a tenth of 1 - P.
constexpr double kEncloseTolerance = 1e-3;

// The probability beyond r falls below this where the search for the extent starts.
constexpr double kTail = 1e-9;

// The outermost radius where |R| max|Y| reaches dLevel, searched from dStart inward or outward.
double OutermostReach(const CRadialFunction& radial, double dAngularMax, double dLevel, double dStart)
{
    const double dStep = radial.Scale() / 64.0;
    const auto reaches = [&](double r) { return std::fabs(radial(r)) * dAngularMax > dLevel; };
    double dOut = dStart;
    while (reaches(dOut))
        dOut += dStep;
    double dIn = dOut;
    while (dIn > 0.0 && !reaches(dIn))
        dIn = std::max(0.0, dIn - dStep);
    if (!reaches(dIn))
        return 0.0;
    dOut = dIn + dStep;
    for (int k = 0; k < 60; ++k)
    {
        const double dMid = 0.5 * (dIn + dOut);
        (reaches(dMid) ? dIn : dOut) = dMid;
    }
    return dOut;
}

// The c whose enclosed probability is dTarget, by bisection on log c.
double SolveLevel(const CEnclosedProbability& probability, double dHigh, double dTarget)
{
    double dLow = dHigh * 1e-300;
    for (int k = 0; k < 2000 && dHigh / dLow - 1.0 > 1e-15; ++k)
    {
        const double dMid = std::sqrt(dLow) * std::sqrt(dHigh);
        (probability(dMid) >= dTarget ? dLow : dHigh) = dMid;
    }
    return std::sqrt(dLow) * std::sqrt(dHigh);
}

}  // namespace

double RadiusHolding(const CRadialFunction& radial, double dProbability)
{
    const double dStep = radial.Scale() / 64.0;
    double dInside = 0.0, r = 0.0;
    while (dInside < dProbability && r < 4096.0 * radial.Scale())
    {
        ForEachGaussNode(r, r + dStep, [&radial, &dInside](double x, double w) {
            const double R = radial(x);
            dInside += w * R * R * x * x;
        });
        r += dStep;
    }
    return r;
}

BoundaryLevel FindBoundaryLevel(const HydrogenOrbital& orbital, const LevelRequest& request,
                                std::vector<double>&& aAngular, int32_t nRadii, int32_t nRows,
                                int32_t nColumns, OrbitalGrid& grid)
{
    const CRadialFunction radial(orbital.numbers.n, orbital.numbers.l, orbital.numbers.dCharge);
    const CAngularMass mass(aAngular, nRows, nColumns);
    const double dTail = RadiusHolding(radial, 1.0 - kTail);
    double dRadialMax = 0.0;
    for (int32_t k = 0; k <= 4096; ++k)
        dRadialMax = std::max(dRadialMax, std::fabs(radial(dTail * k / 4096.0)));
    const double dPeak = dRadialMax * mass.Max();

    BoundaryLevel level;
    double dExtent = dTail;
    if (request.kind == LevelKind::kEnclose)
    {
        // First on the tail's extent, then on the extent that level gives, which moves the
        // quadrature's nodes and so the level a little, keeping the margin of c / 2.
        const CEnclosedProbability first(radial, mass, dExtent, nRadii);
        const double dFirst = SolveLevel(first, dPeak, request.dValue);
        // The directions sampled may hold less than the probability asked, however low the level.
        const double dHeld = first(dFirst);
        if (std::fabs(dHeld - request.dValue) > std::min(kEncloseTolerance, 0.1 * (1.0 - request.dValue)))
        {
            char acLine[200];
            std::snprintf(
                acLine, sizeof acLine,
                "--enclose %.6g: no level of this grid encloses it (the nearest holds %.6g); give a "
                "smaller P or more --theta and --phi samples",
                request.dValue, dHeld);
            throw std::invalid_argument(acLine);
        }
        dExtent = OutermostReach(radial, mass.Max(), 0.5 * dFirst, dExtent);
        const CEnclosedProbability probability(radial, mass, dExtent, nRadii);
        level.dLevel = SolveLevel(probability, dPeak, request.dValue);
        level.dEnclosed = probability(level.dLevel);
    }
    else
    {
        if (!(request.dValue < dPeak))
        {
            char acLine[160];
            std::snprintf(acLine, sizeof acLine,
                          "--iso %.6g leaves no surface: the largest |psi| of this orbital is %.6g",
                          request.dValue, dPeak);
            throw std::invalid_argument(acLine);
        }
        level.dLevel = request.dValue;
        dExtent = OutermostReach(radial, mass.Max(), 0.5 * level.dLevel, dExtent);
        level.dEnclosed = EnclosedAt(radial, mass, dExtent, nRadii, level.dLevel);
    }
    SampleRadialPart(orbital, nRadii, dExtent, grid);
    grid.nRows = nRows;
    grid.nColumns = nColumns;
    level.dPeak = dPeak;
    grid.aAngular = std::move(aAngular);
    return level;
}
