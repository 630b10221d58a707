#include "healpix/pixel_order.h"

#include <cmath>

namespace {

// The faces' places: the ring, in units of Nside, through each face's southern corner, and
// each face's longitude there, in units of pi / 4.
constexpr int64_t kFaceRing[12] = {2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4};
constexpr int64_t kFaceLongitude[12] = {1, 3, 5, 7, 0, 2, 4, 6, 1, 3, 5, 7};

// The even bits of n packed together (bit 2k to bit k), and their inverse.
int64_t EvenBits(uint64_t n)
{
    n &= 0x5555555555555555u;
    n = (n | n >> 1) & 0x3333333333333333u;
    n = (n | n >> 2) & 0x0F0F0F0F0F0F0F0Fu;
    n = (n | n >> 4) & 0x00FF00FF00FF00FFu;
    n = (n | n >> 8) & 0x0000FFFF0000FFFFu;
    n = (n | n >> 16) & 0x00000000FFFFFFFFu;
    return static_cast<int64_t>(n);
}

int64_t SpreadBits(uint64_t n)
{
    n &= 0x00000000FFFFFFFFu;
    n = (n | n << 16) & 0x0000FFFF0000FFFFu;
    n = (n | n << 8) & 0x00FF00FF00FF00FFu;
    n = (n | n << 4) & 0x0F0F0F0F0F0F0F0Fu;
    n = (n | n << 2) & 0x3333333333333333u;
    n = (n | n << 1) & 0x5555555555555555u;
    return static_cast<int64_t>(n);
}

// floor(sqrt(n)) for n >= 0, exact.
int64_t IntegerRoot(int64_t n)
{
    auto nRoot = static_cast<int64_t>(std::sqrt(static_cast<double>(n)));
    while (nRoot * nRoot > n)
        --nRoot;
    while ((nRoot + 1) * (nRoot + 1) <= n)
        ++nRoot;
    return nRoot;
}

// A pixel by its face and its place (x, y) within it, 0 <= x, y < Nside.
struct FacePlace
{
    int64_t nFace;
    int64_t x;
    int64_t y;
};

int64_t RingOfFacePlace(int64_t nNside, const FacePlace& place)
{
    const int64_t nNside4 = 4 * nNside;
    const int64_t nPolarPixels = 2 * nNside * (nNside - 1);
    // The ring from the north pole, 1 to 4 Nside - 1.
    const int64_t nRing = kFaceRing[place.nFace] * nNside - place.x - place.y - 1;
    int64_t nInRing = 0;  // pixels in the ring over 4 in the caps, Nside on the equatorial belt
    int64_t nBefore = 0;
    int64_t nShift = 0;
    if (nRing < nNside)
    {
        nInRing = nRing;
        nBefore = 2 * nRing * (nRing - 1);
    }
    else if (nRing > 3 * nNside)
    {
        nInRing = nNside4 - nRing;
        nBefore = 12 * nNside * nNside - 2 * (nInRing + 1) * nInRing;
    }
    else
    {
        nInRing = nNside;
        nBefore = nPolarPixels + (nRing - nNside) * nNside4;
        nShift = (nRing - nNside) & 1;
    }
    int64_t nColumn = (kFaceLongitude[place.nFace] * nInRing + place.x - place.y + 1 + nShift) / 2;
    if (nColumn > nNside4)
        nColumn -= nNside4;
    else if (nColumn < 1)
        nColumn += nNside4;
    return nBefore + nColumn - 1;
}

FacePlace FacePlaceOfRing(int64_t nNside, int64_t nPixel)
{
    const int64_t nNside2 = 2 * nNside;
    const int64_t nPolarPixels = 2 * nNside * (nNside - 1);
    const int64_t nPixels = 12 * nNside * nNside;
    int64_t nRing = 0;    // from the north pole
    int64_t nColumn = 0;  // 1-based within the ring
    int64_t nShift = 0;
    int64_t nInRing = 0;  // over 4 in the caps, Nside on the equatorial belt
    int64_t nFace = 0;
    if (nPixel < nPolarPixels)
    {
        nRing = (1 + IntegerRoot(1 + 2 * nPixel)) >> 1;
        nColumn = nPixel + 1 - 2 * nRing * (nRing - 1);
        nInRing = nRing;
        nFace = (nColumn - 1) / nInRing;
    }
    else if (nPixel < nPixels - nPolarPixels)
    {
        const int64_t nInBelt = nPixel - nPolarPixels;
        const int64_t nBeltRing = nInBelt / (4 * nNside);
        nRing = nBeltRing + nNside;
        nColumn = nInBelt - nBeltRing * 4 * nNside + 1;
        nShift = (nRing + nNside) & 1;
        nInRing = nNside;
        // The faces whose edges rising and falling to the east pass the pixel.
        const int64_t nRising = (nColumn - ((nBeltRing + 1) >> 1) + nNside - 1) / nNside;
        const int64_t nFalling = (nColumn - ((nNside2 + 1 - nBeltRing) >> 1) + nNside - 1) / nNside;
        nFace = nFalling == nRising ? (nFalling | 4) : nFalling < nRising ? nFalling : nRising + 8;
    }
    else
    {
        const int64_t nFromEnd = nPixels - nPixel;
        const int64_t nSouthRing = (1 + IntegerRoot(2 * nFromEnd - 1)) >> 1;
        nColumn = 4 * nSouthRing + 1 - (nFromEnd - 2 * nSouthRing * (nSouthRing - 1));
        nInRing = nSouthRing;
        nRing = 2 * nNside2 - nSouthRing;
        nFace = (nColumn - 1) / nInRing + 8;
    }
    const int64_t nAcross = nRing - (2 + (nFace >> 2)) * nNside + 1;
    int64_t nAlong = 2 * nColumn - kFaceLongitude[nFace] * nInRing - nShift - 1;
    if (nAlong >= nNside2)
        nAlong -= 8 * nNside;
    return FacePlace{nFace, (nAlong - nAcross) >> 1, (-nAlong - nAcross) >> 1};
}

}  // namespace

bool IsNestedNside(int64_t nNside)
{
    return nNside >= 1 && nNside <= kMaxNside && (nNside & (nNside - 1)) == 0;
}

int64_t NestToRing(int64_t nNside, int64_t nPixel)
{
    const int64_t nFacePixels = nNside * nNside;
    const int64_t nInFace = nPixel % nFacePixels;
    return RingOfFacePlace(nNside, FacePlace{nPixel / nFacePixels, EvenBits(static_cast<uint64_t>(nInFace)),
                                             EvenBits(static_cast<uint64_t>(nInFace) >> 1)});
}

int64_t RingToNest(int64_t nNside, int64_t nPixel)
{
    const FacePlace place = FacePlaceOfRing(nNside, nPixel);
    return place.nFace * nNside * nNside + SpreadBits(static_cast<uint64_t>(place.x)) +
           (SpreadBits(static_cast<uint64_t>(place.y)) << 1);
}

void NestedToRingMap(int64_t nNside, const double* pIn, double* pOut)
{
    const int64_t nPixels = 12 * nNside * nNside;
    for (int64_t i = 0; i < nPixels; ++i)
        pOut[NestToRing(nNside, i)] = pIn[i];
}
