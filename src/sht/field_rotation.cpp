#include "sht/field_rotation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "infra/thread_sharing.h"
#include "sht/build_limits.h"
#include "sht/quarter_turn.h"

namespace {

// cos(m theta) and sin(m theta) for m = 0 .. L, m theta formed in long double so that high
// orders keep the angle to the last bit of its double.
struct TurnAboutZ
{
    std::vector<double> aCos, aSin;
};

TurnAboutZ MakeTurnAboutZ(long double dTheta, int32_t nMaxDegree)
{
    TurnAboutZ turn;
    for (int32_t m = 0; m <= nMaxDegree; ++m)
    {
        const long double dAngle = static_cast<long double>(m) * dTheta;
        turn.aCos.push_back(static_cast<double>(std::cos(dAngle)));
        turn.aSin.push_back(static_cast<double>(std::sin(dAngle)));
    }
    return turn;
}

// f(theta, phi - theta0) on the cosine and sine coefficients a_m, b_m of one degree.
void ApplyTurn(const TurnAboutZ& turn, int32_t l, double* a, double* b)
{
    for (size_t m = 1; m <= static_cast<size_t>(l); ++m)
    {
        const double c = turn.aCos[m], s = turn.aSin[m];
        const double dA = a[m] * c - b[m] * s;
        b[m] = a[m] * s + b[m] * c;
        a[m] = dA;
    }
}

// The turns of one rotation, R = Rz(alpha) Ry(beta) Rz(gamma): about z by alpha + gamma where
// beta is 0, otherwise by gamma - pi / 2, a quarter turn back about y, about z by beta, a
// quarter turn about y, about z by alpha + pi / 2.
struct Turns
{
    bool bAboutZOnly;
    TurnAboutZ first, middle, last;
};

Turns MakeTurns(const Rotation& rotation, int32_t nMaxDegree)
{
    const EulerAngles angles = ZyzAngles(rotation);
    const long double dQuarter = 1.5707963267948966192313216916397514L;
    const long double dAlpha = angles.dAlpha, dGamma = angles.dGamma;
    if (angles.dBeta == 0.0)
        return Turns{true, MakeTurnAboutZ(dAlpha + dGamma, nMaxDegree), {}, {}};
    return Turns{false, MakeTurnAboutZ(dGamma - dQuarter, nMaxDegree),
                 MakeTurnAboutZ(angles.dBeta, nMaxDegree), MakeTurnAboutZ(dAlpha + dQuarter, nMaxDegree)};
}

// One thread's arrays: a_m and b_m of a degree, and its quarter turns.
struct Workspace
{
    explicit Workspace(int32_t nMaxDegree)
        : aCos(static_cast<size_t>(nMaxDegree) + 1),
          aSin(static_cast<size_t>(nMaxDegree) + 1),
          quarter(nMaxDegree)
    {}
    std::vector<double> aCos, aSin;
    CQuarterTurn quarter;
};

// The 2l + 1 coefficients of degree l (orders -l .. l) in the convention turned, in place. The
// program's own Y(l, m) is Pbar for m = 0, sqrt(2) Pbar cos(m phi) and -sqrt(2) Pbar sin(|m| phi).
void TurnDegree(int32_t l, double* pTerms, const Convention& convention, const Turns& turns, Workspace& work)
{
    double* a = work.aCos.data();
    double* b = work.aSin.data();
    double* pOrderZero = pTerms + l;
    a[0] = pOrderZero[0] * FiniteConventionFactor(l, 0, convention);
    b[0] = 0.0;
    for (int32_t m = 1; m <= l; ++m)
    {
        a[m] = pOrderZero[m] * FiniteConventionFactor(l, m, convention);
        b[m] = -(pOrderZero[-m] * FiniteConventionFactor(l, -m, convention));
    }
    ApplyTurn(turns.first, l, a, b);
    if (!turns.bAboutZOnly)
    {
        work.quarter.Turn(l, a, b, true);
        ApplyTurn(turns.middle, l, a, b);
        work.quarter.Turn(l, a, b, false);
        ApplyTurn(turns.last, l, a, b);
    }
    pOrderZero[0] = a[0] / ConventionFactor(l, 0, convention);
    for (int32_t m = 1; m <= l; ++m)
    {
        pOrderZero[m] = a[m] / ConventionFactor(l, m, convention);
        pOrderZero[-m] = -b[m] / ConventionFactor(l, -m, convention);
    }
}

}  // namespace

Field RotateField(const Field& field, const Rotation& rotation, unsigned nThreads)
{
    // The terms summed by degree and order: degree l's 2l + 1 orders from l^2.
    int32_t nMaxDegree = -1;
    for (const Term& term : field.aTerms)
        if (!IsZeroTerm(term))
            nMaxDegree = std::max(nMaxDegree, term.l);
    if (nMaxDegree < 0)
        return field;
    if (nMaxDegree > kMaxDegree)
        throw SurfaceTooLarge("the degree is above 32768, finer than any sample grid can show");
    const size_t nDegrees = static_cast<size_t>(nMaxDegree) + 1;
    std::vector<double> aTerms(nDegrees * nDegrees, 0.0);
    std::vector<unsigned char> aHasDegree(nDegrees, 0);
    for (const Term& term : field.aTerms)
        if (!IsZeroTerm(term))
        {
            const int64_t l = term.l;
            aTerms[static_cast<size_t>(l * l + l + term.m)] += term.c;
            aHasDegree[static_cast<size_t>(l)] = 1;
        }
    // The degrees to turn, the highest (and longest) first.
    std::vector<int32_t> aDegrees;
    for (int32_t l = nMaxDegree; l >= 0; --l)
        if (aHasDegree[static_cast<size_t>(l)] != 0)
            aDegrees.push_back(l);
    if (!IsIdentity(rotation))
    {
        const Turns turns = MakeTurns(rotation, nMaxDegree);
        const unsigned nUsed =
            std::min<unsigned>(ThreadsFor(nThreads), static_cast<unsigned>(aDegrees.size()));
        std::vector<Workspace> aWork;
        aWork.reserve(nUsed);
        for (unsigned t = 0; t < nUsed; ++t)
            aWork.emplace_back(nMaxDegree);
        ShareAmongThreads(aDegrees.size(), nUsed, [&](size_t i, unsigned t) {
            const int64_t l = aDegrees[i];
            TurnDegree(aDegrees[i], &aTerms[static_cast<size_t>(l * l)], field.convention, turns, aWork[t]);
        });
    }
    Field rotated{{}, field.convention};
    size_t nCount = 0;
    for (int32_t l : aDegrees)
        nCount += 2 * static_cast<size_t>(l) + 1;
    rotated.aTerms.reserve(nCount);
    for (auto it = aDegrees.rbegin(); it != aDegrees.rend(); ++it)
    {
        const int32_t l = *it;
        const double* pDegree = &aTerms[static_cast<size_t>(int64_t{l} * l)];
        for (int32_t m = -l; m <= l; ++m)
        {
            const double c = pDegree[l + m];
            if (!std::isfinite(c))
                throw std::runtime_error("the turned field has a coefficient of degree " + std::to_string(l) +
                                         " beyond the range of doubles");
            rotated.aTerms.push_back(Term{l, m, c});
        }
    }
    return rotated;
}

ComplexField RotateComplexField(const ComplexField& field, const Rotation& rotation, unsigned nThreads)
{
    return ComplexField{RotateField(field.re, rotation, nThreads), RotateField(field.im, rotation, nThreads)};
}
