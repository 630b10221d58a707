#include "sht/rotation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "sht/angles.h"

namespace {

// cos and sin of dDegrees, exact at multiples of 90: the angle is brought to within 45 degrees
// of a quarter turn (exactly: both steps are exact for doubles), which fixes the signs and the
// exchange of the two.
void CosSinDegrees(double dDegrees, double& dCos, double& dSin)
{
    double d = std::fmod(dDegrees, 360.0);
    const double dQuarter = std::round(d / 90.0);
    d -= 90.0 * dQuarter;
    const double dRadians = d * (kPi / 180.0);
    const double c = std::cos(dRadians), s = std::sin(dRadians);
    switch ((static_cast<int>(dQuarter) % 4 + 4) % 4)
    {
        case 0:
            dCos = c, dSin = s;
            break;
        case 1:
            dCos = -s, dSin = c;
            break;
        case 2:
            dCos = -c, dSin = -s;
            break;
        default:
            dCos = s, dSin = -c;
            break;
    }
    // -0 would make no difference to a rotation, but +0 keeps matrices comparable by value.
    dCos += 0.0;
    dSin += 0.0;
}

// About coordinate axis nAxis (0 x, 1 y, 2 z).
Rotation AboutCoordinateAxis(int nAxis, double dDegrees)
{
    double c, s;
    CosSinDegrees(dDegrees, c, s);
    const int i = (nAxis + 1) % 3, j = (nAxis + 2) % 3;
    Rotation rotation;
    rotation.r[i][i] = c;
    rotation.r[j][j] = c;
    rotation.r[j][i] = s;
    rotation.r[i][j] = -s;
    return rotation;
}

}  // namespace

bool IsIdentity(const Rotation& rotation)
{
    return rotation.r == Rotation{}.r;
}

Rotation RotationAboutAxis(const std::array<double, 3>& axis, double dDegrees)
{
    // The axis scaled by its largest component first, so that tiny and huge axes neither
    // underflow nor overflow on the way to unit length.
    const double dLargest = std::max({std::fabs(axis[0]), std::fabs(axis[1]), std::fabs(axis[2])});
    std::array<double, 3> k = {axis[0] / dLargest, axis[1] / dLargest, axis[2] / dLargest};
    const double dLength = std::sqrt(k[0] * k[0] + k[1] * k[1] + k[2] * k[2]);
    for (double& d : k)
        d /= dLength;
    double c, s;
    CosSinDegrees(dDegrees, c, s);
    // R = c I + s [k]x + (1 - c) k k^T.
    const double dOneMinusC = 1.0 - c;
    Rotation rotation;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            rotation.r[i][j] = (i == j ? c : 0.0) + dOneMinusC * k[i] * k[j];
    rotation.r[0][1] -= s * k[2];
    rotation.r[1][0] += s * k[2];
    rotation.r[0][2] += s * k[1];
    rotation.r[2][0] -= s * k[1];
    rotation.r[1][2] -= s * k[0];
    rotation.r[2][1] += s * k[0];
    return rotation;
}

Rotation RotationAboutX(double dDegrees)
{
    return AboutCoordinateAxis(0, dDegrees);
}

Rotation RotationAboutY(double dDegrees)
{
    return AboutCoordinateAxis(1, dDegrees);
}

Rotation RotationAboutZ(double dDegrees)
{
    return AboutCoordinateAxis(2, dDegrees);
}

Rotation RotationFromMatrix(const std::array<std::array<double, 3>, 3>& r)
{
    for (const auto& row : r)
        for (const double d : row)
            if (!std::isfinite(d))
                throw std::invalid_argument("the rotation matrix needs finite entries, not " +
                                            std::to_string(d));
    double dOff = 0.0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
        {
            double dDot = 0.0;
            for (int k = 0; k < 3; ++k)
                dDot += r[k][i] * r[k][j];
            dOff = std::max(dOff, std::fabs(dDot - (i == j ? 1.0 : 0.0)));
        }
    if (!(dOff <= kRotationMatrixTolerance))
    {
        char acText[160];
        std::snprintf(acText, sizeof acText,
                      "the matrix is no rotation: R^T R differs from the identity by %.2g (a rotation "
                      "is orthogonal, of determinant +1)",
                      dOff);
        throw std::invalid_argument(acText);
    }
    const double dDeterminant = r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) -
                                r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
                                r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]);
    if (dDeterminant < 0.0)
        throw std::invalid_argument("the matrix is a reflection (determinant -1), not a rotation");
    Rotation rotation;
    rotation.r = r;
    return rotation;
}

Rotation Then(const Rotation& first, const Rotation& second)
{
    Rotation product;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            product.r[i][j] = second.r[i][0] * first.r[0][j] + second.r[i][1] * first.r[1][j] +
                              second.r[i][2] * first.r[2][j];
    return product;
}

Rotation Inverse(const Rotation& rotation)
{
    Rotation transpose;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            transpose.r[i][j] = rotation.r[j][i];
    return transpose;
}

std::array<double, 3> Apply(const Rotation& rotation, const std::array<double, 3>& x)
{
    std::array<double, 3> y;
    for (int i = 0; i < 3; ++i)
        y[i] = rotation.r[i][0] * x[0] + rotation.r[i][1] * x[1] + rotation.r[i][2] * x[2];
    return y;
}

EulerAngles ZyzAngles(const Rotation& rotation)
{
    // R's third column is (cos alpha sin beta, sin alpha sin beta, cos beta). With alpha known,
    // M = Rz(-alpha) R = Ry(beta) Rz(gamma) has (sin gamma, cos gamma) as its middle row's first
    // two entries and (sin beta, cos beta) as its third column's first and last.
    const auto& r = rotation.r;
    const double dAlpha = std::atan2(r[1][2], r[0][2]);
    const double ca = std::cos(dAlpha), sa = std::sin(dAlpha);
    const double dSinBeta = ca * r[0][2] + sa * r[1][2];
    const double dSinGamma = ca * r[1][0] - sa * r[0][0];
    const double dCosGamma = ca * r[1][1] - sa * r[0][1];
    return EulerAngles{dAlpha, std::atan2(dSinBeta, r[2][2]), std::atan2(dSinGamma, dCosGamma)};
}
