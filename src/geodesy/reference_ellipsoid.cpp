#include "geodesy/reference_ellipsoid.h"

#include <cmath>

namespace {

// Published defining constants: GRS80 (IUGG 1979), WGS84 (its 1984 definition, GM of 1994).
constexpr ReferenceEllipsoid kEllipsoids[] = {
    {"GRS80", 6378137.0, 3986005.0e8, 7292115.0e-11, 108263.0e-8, 0.0},
    {"WGS84", 6378137.0, 3986004.418e8, 7292115.0e-11, 0.0, 298.257223563},
};

// q0 and q0' of the level ellipsoid, e' its second eccentricity:
//   q0 = ((1 + 3/e'^2) arctan e' - 3/e') / 2 = sum over n >= 1 of (-1)^(n+1) 2n e'^(2n+1) / ((2n+1)(2n+3))
//   q0' = 3 (1 + 1/e'^2) (1 - arctan(e') / e') - 1 = sum of (-1)^(n+1) 6 e'^2n / ((2n+1)(2n+3))
// by their series, smallest term first: the closed forms lose ten digits to cancellation.
constexpr int kSeriesTerms = 30;

double Q0(double dSecondEccentricity)
{
    const double e2 = dSecondEccentricity * dSecondEccentricity;
    double dSum = 0.0;
    for (int n = kSeriesTerms; n >= 1; --n)
        dSum += (n % 2 == 1 ? 2.0 : -2.0) * n * std::pow(e2, n) / ((2.0 * n + 1.0) * (2.0 * n + 3.0));
    return dSum * dSecondEccentricity;
}

double Q0Prime(double dSecondEccentricity)
{
    const double e2 = dSecondEccentricity * dSecondEccentricity;
    double dSum = 0.0;
    for (int n = kSeriesTerms; n >= 1; --n)
        dSum += (n % 2 == 1 ? 6.0 : -6.0) * std::pow(e2, n) / ((2.0 * n + 1.0) * (2.0 * n + 3.0));
    return dSum;
}

double SecondEccentricity(double dE2)
{
    return std::sqrt(dE2 / (1.0 - dE2));
}

}  // namespace

const ReferenceEllipsoid* FindReferenceEllipsoid(std::string_view strName)
{
    for (const ReferenceEllipsoid& ellipsoid : kEllipsoids)
        if (strName == ellipsoid.pszName)
            return &ellipsoid;
    return nullptr;
}

double EccentricitySquared(const ReferenceEllipsoid& ellipsoid)
{
    if (ellipsoid.dInverseFlattening > 0.0)
    {
        const double f = 1.0 / ellipsoid.dInverseFlattening;
        return 2.0 * f - f * f;
    }
    const double dRotation = ellipsoid.dOmega * ellipsoid.dOmega * ellipsoid.dA * ellipsoid.dA *
                             ellipsoid.dA / ellipsoid.dGravityConstant;
    double dE2 = 3.0 * ellipsoid.dJ2;
    // The fixed point contracts by about a factor 100 a step: 20 steps reach the last bit.
    for (int i = 0; i < 20; ++i)
        dE2 = 3.0 * ellipsoid.dJ2 +
              4.0 / 15.0 * dRotation * dE2 * std::sqrt(dE2) / (2.0 * Q0(SecondEccentricity(dE2)));
    return dE2;
}

double EvenZonal(const ReferenceEllipsoid& ellipsoid, int n)
{
    const double dE2 = EccentricitySquared(ellipsoid);
    double dJ2 = ellipsoid.dJ2;
    if (dJ2 == 0.0)
    {
        // J2 = (e^2 / 3) (1 - (2/15) m e' / q0), m = omega^2 a^2 b / GM.
        const double b = ellipsoid.dA * std::sqrt(1.0 - dE2);
        const double m = ellipsoid.dOmega * ellipsoid.dOmega * ellipsoid.dA * ellipsoid.dA * b /
                         ellipsoid.dGravityConstant;
        const double dSecond = SecondEccentricity(dE2);
        dJ2 = dE2 / 3.0 * (1.0 - 2.0 / 15.0 * m * dSecond / Q0(dSecond));
    }
    const double dSign = n % 2 == 1 ? 1.0 : -1.0;
    return dSign * 3.0 * std::pow(dE2, n) / ((2.0 * n + 1.0) * (2.0 * n + 3.0)) *
           (1.0 - n + 5.0 * n * dJ2 / dE2);
}

NormalGravity ComputeNormalGravity(const ReferenceEllipsoid& ellipsoid)
{
    const double a = ellipsoid.dA;
    const double dE2 = EccentricitySquared(ellipsoid);
    const double b = a * std::sqrt(1.0 - dE2);
    const double dSecond = SecondEccentricity(dE2);
    const double m = ellipsoid.dOmega * ellipsoid.dOmega * a * a * b / ellipsoid.dGravityConstant;
    const double dRatio = m * dSecond * Q0Prime(dSecond) / Q0(dSecond);
    NormalGravity gravity;
    gravity.dEquator = ellipsoid.dGravityConstant / (a * b) * (1.0 - m - dRatio / 6.0);
    gravity.dPole = ellipsoid.dGravityConstant / (a * a) * (1.0 + dRatio / 3.0);

    // The mean over the surface: Somigliana's gamma weighted by the area element M N cos(phi)
    // dphi, M = a (1 - e^2) / W^3, N = a / W, W^2 = 1 - e^2 sin^2(phi); in s = sin(phi) that is
    // ds / W^4 up to a constant, a smooth integrand for Simpson's rule on [-1, 1].
    constexpr int kIntervals = 4096;
    double dWeighted = 0.0, dArea = 0.0;
    for (int i = 0; i <= kIntervals; ++i)
    {
        const double dSin = -1.0 + 2.0 * i / kIntervals;
        const double dCos2 = 1.0 - dSin * dSin;
        const double w2 = 1.0 - dE2 * dSin * dSin;
        const double dSimpson = i == 0 || i == kIntervals ? 1.0 : i % 2 == 1 ? 4.0 : 2.0;
        const double dElement = dSimpson / (w2 * w2);
        const double dGamma = (a * gravity.dEquator * dCos2 + b * gravity.dPole * dSin * dSin) /
                              std::sqrt(a * a * dCos2 + b * b * dSin * dSin);
        dWeighted += dGamma * dElement;
        dArea += dElement;
    }
    gravity.dMean = dWeighted / dArea;
    return gravity;
}
