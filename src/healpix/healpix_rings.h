#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The HEALPix pixelisation of resolution Nside in RING order: 12 Nside^2 pixels of equal area on
// 4 Nside - 1 rings of constant theta from the north pole southwards, pixel p of a ring of n at
// phi = dPhi0 + 2 pi p / n, numbered ring after ring.
//   ring i = 1 .. Nside - 1 (north cap): z = cos(theta) = 1 - i^2 / (3 Nside^2), 4 i pixels, half a
//     pixel from phi = 0;
//   ring i = Nside .. 3 Nside (equatorial belt): z = 4/3 - 2 i / (3 Nside), 4 Nside pixels, half a
//     pixel from phi = 0 where i + Nside is even, at phi = 0 where it is odd;
//   ring i > 3 Nside: the mirror of ring 4 Nside - i.

// The largest resolution: 12 Nside^2 pixels then still index a 64-bit integer with room to spare,
// as HEALPix's own limit.
constexpr int64_t kMostNside = int64_t{1} << 29;

struct HealpixRing
{
    double dCosLessOne;  // cos(theta) - 1, to the last bits near the pole
    double dCos;         // cos(theta)
    double dSin;         // sin(theta)
    int64_t nPixels;
    int64_t nFirst;  // the ring's first pixel
    double dPhi0;    // phi of that pixel
};

inline int64_t HealpixPixels(int64_t nSide)
{
    return 12 * nSide * nSide;
}

// Why nSide is no resolution (below 1 or above kMostNside), or "".
std::string NsideProblem(int64_t nSide);

// The resolution of a map of nPixels values, or why there is none ("a map of 12 Nside^2 values,
// not ...").
int64_t NsideOfPixels(int64_t nPixels, std::string& strProblem);

// Ring i (1 .. 4 Nside - 1).
HealpixRing RingOf(int64_t nSide, int64_t i);

// The northern rings i = 1 .. 2 Nside (the last on the equator), from the pole; ring i's mirror
// is ring 4 Nside - i.
std::vector<HealpixRing> NorthernRings(int64_t nSide);

// The centre (theta, phi) of a pixel, and the pixel holding a direction (theta in [0, pi], any phi).
void PixelAngles(int64_t nSide, int64_t nPixel, double& dTheta, double& dPhi);
int64_t PixelAt(int64_t nSide, double dTheta, double dPhi);
