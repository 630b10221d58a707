#include "healpix/healpix_rings.h"

#include <algorithm>
#include <cmath>

#include "sht/angles.h"

namespace {

// The largest k with k (k - 1) <= n / 2, for the cap ring of pixel n: ring k starts at 2 k (k - 1).
int64_t CapRing(int64_t nPixel)
{
    auto k = static_cast<int64_t>(0.5 * (1.0 + std::sqrt(1.0 + 2.0 * static_cast<double>(nPixel))));
    while (2 * k * (k - 1) > nPixel)
        --k;
    while (2 * (k + 1) * k <= nPixel)
        ++k;
    return k;
}

}  // namespace

std::string NsideProblem(int64_t nSide)
{
    if (nSide < 1 || nSide > kMostNside)
        return "Nside " + std::to_string(nSide) + " is not from 1 to " + std::to_string(kMostNside);
    return "";
}

int64_t NsideOfPixels(int64_t nPixels, std::string& strProblem)
{
    const auto nSide = static_cast<int64_t>(std::llround(std::sqrt(static_cast<double>(nPixels) / 12.0)));
    if (nPixels < 12 || nSide > kMostNside || HealpixPixels(nSide) != nPixels)
    {
        strProblem = "a HEALPix map holds 12 Nside^2 values, not " + std::to_string(nPixels);
        return 0;
    }
    strProblem.clear();
    return nSide;
}

HealpixRing RingOf(int64_t nSide, int64_t i)
{
    const int64_t nNorth = std::min(i, 4 * nSide - i);
    const auto dSide = static_cast<double>(nSide);
    HealpixRing ring{};
    if (nNorth < nSide)
    {
        // 1 - z = i^2 / (3 Nside^2) exactly as far as doubles hold it; sin from (1 - z)(1 + z).
        const double dLess =
            static_cast<double>(nNorth) * static_cast<double>(nNorth) / (3.0 * dSide * dSide);
        ring.dCosLessOne = -dLess;
        ring.dCos = 1.0 - dLess;
        ring.dSin = std::sqrt(dLess * (2.0 - dLess));
        ring.nPixels = 4 * nNorth;
        ring.dPhi0 = kPi / static_cast<double>(4 * nNorth);
    }
    else
    {
        ring.dCosLessOne = static_cast<double>(nSide - 2 * nNorth) / (3.0 * dSide);
        ring.dCos = static_cast<double>(2 * (2 * nSide - nNorth)) / (3.0 * dSide);
        ring.dSin = std::sqrt((1.0 - ring.dCos) * (1.0 + ring.dCos));
        ring.nPixels = 4 * nSide;
        ring.dPhi0 = (i + nSide) % 2 == 0 ? kPi / static_cast<double>(4 * nSide) : 0.0;
    }
    const int64_t nCap = 2 * nSide * (nSide - 1);
    if (i < nSide)
        ring.nFirst = 2 * i * (i - 1);
    else if (i <= 3 * nSide)
        ring.nFirst = nCap + (i - nSide) * 4 * nSide;
    else
        ring.nFirst = HealpixPixels(nSide) - 2 * nNorth * (nNorth + 1);
    if (i > 2 * nSide)
    {
        // South of the equator: the mirror's z negated, cos - 1 from it.
        ring.dCos = -ring.dCos;
        ring.dCosLessOne = ring.dCos - 1.0;
    }
    return ring;
}

std::vector<HealpixRing> NorthernRings(int64_t nSide)
{
    std::vector<HealpixRing> aRings;
    aRings.reserve(static_cast<size_t>(2 * nSide));
    for (int64_t i = 1; i <= 2 * nSide; ++i)
        aRings.push_back(RingOf(nSide, i));
    return aRings;
}

void PixelAngles(int64_t nSide, int64_t nPixel, double& dTheta, double& dPhi)
{
    const int64_t nCap = 2 * nSide * (nSide - 1), nPixels = HealpixPixels(nSide);
    int64_t i = 0;
    if (nPixel < nCap)
        i = CapRing(nPixel);
    else if (nPixel < nPixels - nCap)
        i = nSide + (nPixel - nCap) / (4 * nSide);
    else
        i = 4 * nSide - CapRing(nPixels - 1 - nPixel);
    const HealpixRing ring = RingOf(nSide, i);
    dTheta = std::atan2(ring.dSin, ring.dCos);
    dPhi =
        ring.dPhi0 + kTwoPi * static_cast<double>(nPixel - ring.nFirst) / static_cast<double>(ring.nPixels);
}

int64_t PixelAt(int64_t nSide, double dTheta, double dPhi)
{
    // The pixelisation's own inverse: in the belt the two families of boundary lines through the
    // direction (jp, jm) give the ring and the pixel; in the caps the distances to the two
    // boundaries of the quarter that holds it.
    const double z = std::cos(dTheta), za = std::fabs(z);
    double dTurn = std::fmod(dPhi, kTwoPi);
    if (dTurn < 0.0)
        dTurn += kTwoPi;
    const double tt = std::min(dTurn / (0.5 * kPi), std::nextafter(4.0, 0.0));
    const auto dSide = static_cast<double>(nSide);
    if (za <= 2.0 / 3.0)
    {
        const double dUp = dSide * (0.5 + tt), dAcross = dSide * z * 0.75;
        const auto jp = static_cast<int64_t>(dUp - dAcross), jm = static_cast<int64_t>(dUp + dAcross);
        const int64_t ir = nSide + 1 + jp - jm;  // 1 .. 2 Nside + 1 from ring Nside on
        const int64_t nShift = 1 - (ir & 1);
        const int64_t ip = ((jp + jm - nSide + nShift + 1) / 2) % (4 * nSide);
        return 2 * nSide * (nSide - 1) + (ir - 1) * 4 * nSide + ip;
    }
    const double tp = tt - std::floor(tt);
    // sqrt(3 (1 - |z|)) from sin(theta), which keeps its digits near the pole.
    const double dSin = std::sin(dTheta);
    const double dDistance = dSide * std::sqrt(3.0 * dSin * dSin / (1.0 + za));
    const auto jp = static_cast<int64_t>(tp * dDistance), jm = static_cast<int64_t>((1.0 - tp) * dDistance);
    const int64_t ir = std::clamp<int64_t>(jp + jm + 1, 1, nSide);  // the ring from the nearer pole
    const int64_t ip = std::min(static_cast<int64_t>(tt * static_cast<double>(ir)), 4 * ir - 1);
    return z > 0.0 ? 2 * ir * (ir - 1) + ip : HealpixPixels(nSide) - 2 * ir * (ir + 1) + ip;
}
