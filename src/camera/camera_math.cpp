#include "camera/camera_math.h"

#include <cmath>

namespace {

// Determinant of the 3 x 3 minor of m that leaves out row nSkipRow and column nSkipColumn.
double Minor(const double m[16], int nSkipRow, int nSkipColumn)
{
    int r[3], c[3];
    for (int i = 0, nR = 0, nC = 0; i < 4; ++i)
    {
        if (i != nSkipRow)
            r[nR++] = i;
        if (i != nSkipColumn)
            c[nC++] = i;
    }
    const auto at = [&](int i, int j) { return m[4 * c[j] + r[i]]; };
    return at(0, 0) * (at(1, 1) * at(2, 2) - at(1, 2) * at(2, 1)) -
           at(0, 1) * (at(1, 0) * at(2, 2) - at(1, 2) * at(2, 0)) +
           at(0, 2) * (at(1, 0) * at(2, 1) - at(1, 1) * at(2, 0));
}

double Cofactor(const double m[16], int i, int j)
{
    const double dMinor = Minor(m, i, j);
    return (i + j) % 2 == 0 ? dMinor : -dMinor;
}

}  // namespace

int InvertMatrix4(const double in[16], double out[16])
{
    double dDeterminant = 0.0;
    for (int j = 0; j < 4; ++j)
        dDeterminant += in[4 * j] * Cofactor(in, 0, j);
    if (!(dDeterminant < 0.0 || dDeterminant > 0.0))
        return 0;

    // out(i, j) = cofactor(j, i) / det.
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out[4 * j + i] = Cofactor(in, j, i) / dDeterminant;
    return 1;
}

void ComputeViewBasis(double dx, double dy, double dz, double* pUx, double* pUy, double* pUz, double* pVx,
                      double* pVy, double* pVz)
{
    const double n = std::sqrt(dx * dx + dy * dy + dz * dz);
    const double wx = dx / n, wy = dy / n, wz = dz / n;

    // u = (0, 0, 1) x w; for a vertical w (exactly), u = (0, 1, 0) x w.
    double ux = -wy, uy = wx, uz = 0.0;
    double dLength = std::sqrt(ux * ux + uy * uy + uz * uz);
    if (dLength == 0.0 || std::isnan(dLength))
    {
        ux = wz;
        uy = 0.0;
        uz = -wx;
        dLength = std::sqrt(ux * ux + uy * uy + uz * uz);
    }
    ux /= dLength;
    uy /= dLength;
    uz /= dLength;

    *pUx = ux;
    *pUy = uy;
    *pUz = uz;
    *pVx = wy * uz - wz * uy;
    *pVy = wz * ux - wx * uz;
    *pVz = wx * uy - wy * ux;
}

bool ComputeModelview(const double from[3], const double to[3], double out[16])
{
    for (int i = 0; i < 3; ++i)
        if (!std::isfinite(from[i]) || !std::isfinite(to[i]))
            return false;

    // Worked out in a unit of 2^e near |From - To|, so that the squares and the determinant of
    // a distance such as 1e150 or 1e-160 neither overflow nor underflow. Scaling by a power of two
    // changes no bit of the result: every sum below adds products of as many scaled factors.
    const double adD[3] = {from[0] - to[0], from[1] - to[1], from[2] - to[2]};
    const double dLargest = std::fmax(std::fabs(adD[0]), std::fmax(std::fabs(adD[1]), std::fabs(adD[2])));
    if (!(dLargest > 0.0) || !std::isfinite(dLargest))
        return false;
    const int e = std::ilogb(dLargest);
    const double dx = std::ldexp(adD[0], -e), dy = std::ldexp(adD[1], -e), dz = std::ldexp(adD[2], -e);
    const double t[3] = {std::ldexp(to[0], -e), std::ldexp(to[1], -e), std::ldexp(to[2], -e)};
    const double g = std::sqrt(dx * dx + dy * dy + dz * dz);
    double ux, uy, uz, vx, vy, vz;
    ComputeViewBasis(dx, dy, dz, &ux, &uy, &uz, &vx, &vy, &vz);

    // Camera to world: columns g u, g v, d and To.
    const double k[16] = {g * ux, g * uy, g * uz, 0.0, g * vx, g * vy, g * vz, 0.0,
                          dx,     dy,     dz,     0.0, t[0],   t[1],   t[2],   1.0};
    double inverse[16];
    if (InvertMatrix4(k, inverse) == 0)
        return false;
    // Back to world units: the columns that take world x, y and z scale by 2^-e.
    for (int i = 0; i < 12; ++i)
        inverse[i] = std::ldexp(inverse[i], -e);
    for (double d : inverse)
        if (!std::isfinite(d))
            return false;
    for (int i = 0; i < 16; ++i)
        out[i] = inverse[i];
    return true;
}

bool RecoverViewpoint(const double modelview[16], double from[3], double to[3])
{
    double b[16];
    if (InvertMatrix4(modelview, b) == 0)
        return false;
    // To is the image of the eye origin, From that of eye (0, 0, 1). Adding +0.0 turns a
    // negative zero from the cofactors into a plain zero; every other value is unchanged.
    for (int i = 0; i < 3; ++i)
    {
        to[i] = b[12 + i] + 0.0;
        from[i] = b[8 + i] + b[12 + i] + 0.0;
    }
    return true;
}
